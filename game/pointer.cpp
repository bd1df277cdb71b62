// pointer.cpp: the runtime's input store turned into the game's own input fields: pointer and
// touches in virtual units, the two latches, virtual keys from the iCade decoder and the
// on-screen pad, and the tilt indicator.
#include <cmath>
#include <cstdlib>

#include "game/app.h"

int c_MyApp::p_UpdatePointer() {
  float w = static_cast<float>(bb_graphics_DeviceWidth());
  float h = static_cast<float>(bb_graphics_DeviceHeight());
  float ox = bb_GW_overscan;
  float oy = w > 0 ? ox * h / w : 0;
  // Before the first render there is no scale yet: pointer positions are taken as design units.
  float scaleX = m_ScaleX > 0 ? m_ScaleX : 1;
  float scaleY = m_ScaleY > 0 ? m_ScaleY : 1;
  m_OldMouseX = m_MouseX;
  m_OldMouseY = m_MouseY;
  m_MouseX = static_cast<int>((bb_input_MouseX() - ox) / scaleX);
  m_MouseY = static_cast<int>((bb_input_MouseY() - oy) / scaleY);
  int left = bb_input_MouseDown(0);
  if (m_OldMouseDown == 0 && left) {
    m_OldMouseX = m_MouseX;
    m_OldMouseY = m_MouseY;
  }
  m_MouseDown = left ? 1 : 0;
  m_MouseHit = bb_input_MouseHit(0);
  for (m_I = 0; m_I < kTouches; ++m_I) {
    m_TouchDown[m_I] = 0;
    m_TouchX[m_I] = kOmitted;
    m_TouchY[m_I] = kOmitted;
    if (bb_input_TouchDown(m_I)) {
      m_TouchDown[m_I] = 1;
      m_TouchX[m_I] = static_cast<int>((bb_input_TouchX(m_I) - ox) / scaleX);
      m_TouchY[m_I] = static_cast<int>((bb_input_TouchY(m_I) - oy) / scaleY);
      m_MouseDown = 1;
    }
  }
  m_OldMouseDown = left ? 1 : 0;
  if (m_MouseDown == 0) m_PointerLatch = 0;
  return 0;
}

// Sums an action over the four devices.
static int bbAllDevices(c_MyApp* app, int action) {
  int sum = 0;
  for (int d = 0; d < 4; ++d) sum += app->p_PlayKey(action, 1, d);
  return sum;
}

int c_MyApp::p_UpdateKeyLatch() {
  static const int kKeys[] = {0, 3, 5, 8, 10, 11, 12, 13, 14, 15, 16, 17, 99};
  bool any = false;
  for (int k : kKeys) {
    if (bbAllDevices(this, k) != 0) {
      any = true;
      break;
    }
  }
  if (!any) {
    m_KeyLatch = 0;
  } else if (m_KeyLatch == 0 && m_PointerLatch == 0 && bbAllDevices(this, 99) != 0 && m_Mode == 1 &&
             (m_ShowCredits == 1 || m_ShowOptions == 1 || m_ShowBadges == 1)) {
    m_ShowCredits = 0;
    m_ShowBadges = 0;
    m_KeyLatch = 1;
    m_PointerLatch = 1;
  }
  if (m_ShowOptions == 1) {
    m_KeyLatch = 1;
    m_PointerLatch = 1;
  }
  return 0;
}

int c_MyApp::p_ReadICade() {
  if (bb_GW_iCadeControls == 1) {
    // Press and release letters per control, and the virtual key each drives.
    static const struct {
      char press, release;
      int key;
    } kTable[] = {{'W', 'E', 0},  {'X', 'Z', 8},  {'A', 'Q', 3},  {'D', 'C', 5},
                  {'Y', 'T', 13}, {'U', 'F', 14}, {'I', 'M', 15}, {'O', 'G', 16},
                  {'H', 'R', 10}, {'J', 'N', 11}, {'K', 'P', 12}, {'L', 'V', 17}};
    for (;;) {
      m_ICadeChar = bb_input_GetChar();
      if (m_ICadeChar == 0) break;
      int c = m_ICadeChar >= 'a' && m_ICadeChar <= 'z' ? m_ICadeChar - 32 : m_ICadeChar;
      for (const auto& row : kTable) {
        if (c == row.press) {
          m_VKey[row.key] = 2;
          break;
        }
        if (c == row.release) {
          m_VKey[row.key] = 0;
          break;
        }
      }
    }
  }
  m_I = 0;
  return 0;
}

int c_MyApp::p_ReleasePad() {
  for (m_I = 0; m_I < 19; ++m_I)
    if (m_VKey[m_I] == 1) m_VKey[m_I] = 0;
  return 0;
}

// Clamps v into [lo, hi]; a value above hi becomes trunc(hi).
static int bbClampSetting(int v, int lo, float hi) {
  if (v < lo) return lo;
  if (static_cast<float>(v) > hi) return static_cast<int>(hi);
  return v;
}

int c_MyApp::p_OnScreenPad() {
  m_Settings[10] = bbClampSetting(m_Settings[10], 32, bb_GW_jscrw - 32);
  m_Settings[11] = bbClampSetting(m_Settings[11], 32, bb_GW_jscrh - 32);
  m_Settings[12] = bbClampSetting(m_Settings[12], 8, 25);
  m_PadX = m_Settings[10];
  m_PadY = static_cast<int>(bb_GW_jscrh - static_cast<float>(m_Settings[11]));
  m_PadScale = static_cast<float>(m_Settings[12]) / 10.0f;
  p_SetRot(0);
  p_SetCol(255, 255, 255, 0.6f);
  m_DrawBlend = 1;
  p_SetSize(m_PadScale, m_PadScale);
  float px = static_cast<float>(m_PadX), py = static_cast<float>(m_PadY), d = 32 * m_PadScale;
  const struct {
    float x, y;
    int frame, key;
  } arrows[] = {{px - d, py, 4, 3}, {px, py - d, 1, 0}, {px, py + d, 9, 8}, {px + d, py, 6, 5}};
  for (const auto& a : arrows) {
    p_DrawImg(94, a.x, a.y, static_cast<float>(a.frame));
    if (p_ImageHit(94, a.x, a.y) && m_Paused == 0) m_VKey[a.key] = 1;
  }
  p_DrawImg(94, px, py, 5);
  if (m_Paused >= 1) {
    p_SetSize(3, 3);
    p_DrawImg(94, px, py, 0);
    float hw = static_cast<float>(m_ImgInfo[3 * 94]) * m_ImgScale * m_DrawSX * 0.5f;
    float hh = static_cast<float>(m_ImgInfo[3 * 94 + 1]) * m_ImgScale * m_DrawSY * 0.5f;
    float tx = static_cast<float>(m_TouchX[0]), ty = static_cast<float>(m_TouchY[0]);
    bool inside = m_MouseDown > 0 && px - hw < tx && tx < px + hw && py - hh < ty && ty < py + hh;
    if (inside && m_TouchDown[1] == 0) {
      m_Settings[10] = m_TouchX[0];
      m_Settings[11] = static_cast<int>(bb_GW_jscrh - ty);
    }
    if (m_TouchDown[1] == 0) {
      m_PinchOn = 0;
      m_PinchLast = 0;
    }
    if (m_TouchDown[0] == 1 && m_TouchDown[1] == 1) {
      int d2 = -std::abs(m_TouchX[0] - m_TouchX[1]) / 16;
      if (m_PinchOn == 1) m_Settings[12] += m_PinchLast - d2;
      m_PinchLast = d2;
      m_PinchOn = 1;
    }
  }
  return 0;
}

int c_MyApp::p_Tilt() {
  m_TiltX = bb_input_AccelX() - m_AccelZeroX;
  m_TiltY = bb_input_AccelY() - m_AccelZeroY;
  m_TiltShowX += (m_TiltX - m_TiltShowX) * 0.25f;
  if (std::fabs(m_TiltX - m_TiltShowX) < 0.005f) m_TiltShowX = m_TiltX;
  m_TiltShowY += (m_TiltY - m_TiltShowY) * 0.25f;
  if (std::fabs(m_TiltY - m_TiltShowY) < 0.005f) m_TiltShowY = m_TiltY;
  p_SetRot(0);
  p_SetCol(255, 255, 255, 0.8f);
  p_SetSize(1.5f, 1.5f);
  if (p_Button(97, 24, bb_GW_jscrh - 24, 7)) {
    m_AccelZeroX = bb_input_AccelX();
    m_AccelZeroY = bb_input_AccelY();
  }
  p_SetCol(100, 255, 100, 0.6f);
  p_SetSize(1, 1);
  p_Oval(m_TiltShowX * 20 + 24, m_TiltShowY * 20 + bb_GW_jscrh - 24, 4, 4);
  return 0;
}
