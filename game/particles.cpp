// particles.cpp: the level's small effects: a fixed pool of sprite particles, the player's
// position history that the followers walk along, and the tutorial's speech bubble.
//
// A particle is 10 floats of m_Parts: kind (0 free, 1 drifting, 2 falling), x, y, velocity x, y,
// rotation, spin, life (its alpha, capped at 1), palette colour and frame of the "parts" sheet.
// Everything is drawn in level coordinates less the camera.
#include "game/angles.h"
#include "game/app.h"

namespace {

constexpr int kPartFloats = 10;
constexpr int kPartsImage = 96;

// The particle palette, red, green and blue as fractions of 255; index 0 is every other value.
constexpr float kPalette[10][3] = {
    {0.3f, 0.3f, 0.3f}, {1, 0.1f, 0.1f}, {1, 0.5f, 0.1f}, {1, 1, 0.1f},    {0.1f, 1, 0.1f},
    {0.1f, 1, 1},       {0.1f, 0.1f, 1}, {0.5f, 0.1f, 1}, {1, 0.1f, 0.5f}, {1, 1, 1},
};

float Clamp255(float v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

}  // namespace

int c_MyApp::p_Ink(int index, float brightness) {
  const float* c = kPalette[index >= 1 && index <= 9 ? index : 0];
  m_DrawR = Clamp255(c[0] * brightness * 255.0f);
  m_DrawG = Clamp255(c[1] * brightness * 255.0f);
  m_DrawB = Clamp255(c[2] * brightness * 255.0f);
  return 0;
}

int c_MyApp::p_FreeParticle() {
  for (int slot = m_PartCount; slot >= 0; --slot)
    if (m_Parts[slot * kPartFloats] == 0) return slot * kPartFloats;
  return -1;
}

int c_MyApp::p_ResetParticles(int n) {
  if (n >= 1 && n < 500) m_PartCount = n;
  for (int slot = 0; slot <= m_PartCount; ++slot) m_Parts[slot * kPartFloats] = 0;
  return 0;
}

int c_MyApp::p_ThrowParticle(float x, float y, int kind, int colour, float angle, float speed) {
  if (angle == kOmittedF) angle = bb_random_Rnd() * 360.0f;
  if (speed == kOmittedF) speed = 3.0f + bb_random_Rnd() * 5.0f;
  int i = p_FreeParticle();
  if (i < 0) return 0;
  float* p = m_Parts.Data() + i;
  p[0] = static_cast<float>(kind);
  p[1] = x;
  p[2] = y;
  p[3] = bbSinDeg(angle) * speed;
  p[4] = -bbCosDeg(angle) * speed;
  p[5] = bb_random_Rnd() * 360.0f;
  p[6] = bb_random_Rnd() * 16.0f - 8.0f;
  p[7] = 0.7f + bb_random_Rnd() * 0.6f;
  p[8] = static_cast<float>(colour);
  p[9] = static_cast<float>(static_cast<int>(std::floor(bb_random_Rnd() * 255.99f)));
  return 0;
}

int c_MyApp::p_DoParticles() {
  p_ResetDraw();
  for (int slot = 0; slot <= m_PartCount; ++slot) {
    float* p = m_Parts.Data() + slot * kPartFloats;
    if (p[0] <= 0) continue;
    p[1] += p[3];
    p[2] += p[4];
    p[5] += p[6];
    p_SetRot(p[5]);
    if (p[0] == 2) {
      p[3] *= 0.95f;
      p[4] += 0.2f;
    }
    p_Alpha(p[7] < 1 ? p[7] : 1);
    p_Ink(static_cast<int>(p[8]), 1);
    p_SetSize(1, 1);
    if (p[0] <= 9) p_DrawImg(kPartsImage, p[1] - m_CamX, p[2] - m_CamY, p[9]);
    p[7] -= 0.01f;
    if (p[7] < 0) p[0] = 0;
  }
  p_ResetDraw();
  return 0;
}

int c_MyApp::p_enTrail() {
  for (int i = 0; i < 51 * 5; ++i) m_Trail[i] = m_Trail[i + 5];
  float* newest = m_Trail.Data() + 51 * 5;
  newest[0] = m_Vars[1] + m_Vars[3];
  newest[1] = m_Vars[2] + m_Vars[4];
  newest[2] = m_Vars[5];
  return 0;
}

int c_MyApp::p_ResetPlayers() {
  for (int i = 0; i < 500; ++i) {
    m_Vars[i] = 0;
    m_Trail[i] = 0;
  }
  return 0;
}

int c_MyApp::p_Speak(String line1, String line2, String line3, float x, float y) {
  float sx = x - m_CamX, sy = y - m_CamY;
  p_SetCol(255, 128, 0, 0.65f);
  p_SetSize(1, 1);
  p_SetRot(0);
  p_Rect(sx - 180, sy - 32, 360, 64);
  p_SetCol(255, 255, 255, 1);
  p_SetSize(2, 2);
  p_Text(sx, sy - 20, line1, 1, 1);
  p_Text(sx, sy, line2, 1, 1);
  p_Text(sx, sy + 20, line3, 1, 1);
  p_ResetDraw();
  return 0;
}

int c_MyApp::p_Rand(int low, int high) {
  float l = static_cast<float>(low);
  return static_cast<int>(std::floor(l + (static_cast<float>(high) + 0.99f - l) * bb_random_Rnd()));
}
