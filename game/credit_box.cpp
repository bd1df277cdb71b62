// credit_box.cpp: the credits box: a test-card grid whose cells fly in from outside, the credit
// lines scrolling through its middle, the logo, and four test-card circles showing the window
// and frame-rate figures.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "game/app.h"

namespace {

// A colour ramp along an edge of `count` cells: scale / (count - 2) per inner cell p, or 512
// less that when falling, truncated and clamped to 0..255. An edge with no inner cells stays at
// the ramp's start.
float Ramp(float scale, int count, int p, bool falling = false) {
  float v = count > 2 ? scale / static_cast<float>(count - 2) * static_cast<float>(p) : 0;
  if (falling) v = 512 - v;
  return std::trunc(std::clamp(v, 0.0f, 255.0f));
}

// A cell's offset from the middle of the grid: never 0, so every cell flies in.
int CellOffset(int i, int count) {
  int d = i - count / 2;
  if (d < 1) d -= 1;
  return d;
}

}  // namespace

int c_MyApp::p_CreditBox() {
  const float w = bb_GW_jscrw, h = bb_GW_jscrh;
  const float c = std::max(w, h) / 12;
  const int nx = static_cast<int>(w / c), ny = static_cast<int>(h / c);
  const float ox = w / 2 - static_cast<float>(nx) * c / 2;
  const float oy = h / 2 - static_cast<float>(ny) * c / 2;
  const int k = 30 - m_CreditsSlide;
  const float kf = static_cast<float>(k);
  const float alpha = static_cast<float>(m_CreditsSlide) / 30;
  const float s = m_CreditsSlide < 20 ? c * static_cast<float>(m_CreditsSlide) / 20 : c;

  p_ResetDraw();
  p_Alpha(alpha);
  for (int i = 0; i <= nx; ++i) {
    for (int j = 0; j <= ny; ++j) {
      const int di = CellOffset(i, nx), dj = CellOffset(j, ny);
      const float x = static_cast<float>(k * di * std::abs(di)) + static_cast<float>(i) * c + ox - s / 2;
      const float y = static_cast<float>(k * dj * std::abs(dj)) + static_cast<float>(j) * c + oy - s / 2;
      const bool ring = i == 0 || j == 0 || i == nx || j == ny;
      if (ring) {
        p_SetCol(0, 0, 0, kOmittedF);
      } else {
        p_SetCol(255, 255, 255, kOmittedF);
      }
      p_Rect(x, y, s + 1, s + 1);
      if (!ring) {
        p_SetCol(128, 128, 128, kOmittedF);
        if (j == ny - 1 && i == nx - 3) {
          p_Rect(x - 6, y + 2, s + 4, s - 4);
        } else if (j == ny - 1 && i > 3 && i < nx - 2) {
          p_Rect(x - 6, y + 2, s + 24, s - 4);
        } else {
          p_Rect(x + 2, y + 2, s - 4, s - 4);
        }
        continue;
      }
      const bool corner = (i == 0 || i == nx) && (j == 0 || j == ny);
      if (corner) continue;
      const int p = i - 1, r = j - 1;
      if (j == 0 || j == ny) {
        if (j == 0) {
          p_SetCol(Ramp(512, nx, p), Ramp(512, nx, p, true), 0, kOmittedF);
        } else {
          float g = Ramp(255, nx, p);
          p_SetCol(g, g, g, kOmittedF);
        }
        p_Rect(x + 8, y, s - 16, s);
      } else {
        float b = Ramp(512, ny, r), b2 = Ramp(512, ny, r, true);
        if (i == 0) {
          p_SetCol(0, b2, b, kOmittedF);
        } else {
          p_SetCol(b2, 0, b, kOmittedF);
        }
        p_Rect(x, y + 8, s, s - 16);
      }
    }
  }

  p_SetCol(255, 255, 255, kOmittedF);
  p_DrawImg(91, w / 2, h / 2 - 24 * kf, 0);

  // The credit lines scroll up through the middle, faster while up or down is held.
  m_CreditsScroll -= 0.3f;
  if (p_PlayKeyAll(0, 1) != 0 || p_PlayKeyAll(8, 1) != 0) m_CreditsScroll -= 1.5f;
  if (m_CreditsScroll < -16) {
    m_CreditsScroll += 16;
    ++m_CreditsLine;
  }
  const int lines = bb_GW_CreditText.Length() - 1;
  if (lines > 0) {
    for (m_I = -3; m_I <= 4; ++m_I) {
      int index = (m_CreditsLine + m_I) % lines;
      if (index < 0) index += lines;
      float fade = std::fabs(16 * static_cast<float>(m_I) + m_CreditsScroll) / 40 - 0.3f;
      p_Alpha(1 - std::clamp(fade, 0.0f, 1.0f));
      p_Text(w / 2 + 24, h / 2 - 24 * kf + 16 * static_cast<float>(m_I) + m_CreditsScroll,
             bb_GW_CreditText[index], 0.8f, 0.8f);
    }
  }

  p_SetSize(0.4f, 0.4f);
  p_Alpha(alpha);
  p_DrawImg(98, w / 2, 4 * kf + static_cast<float>(ny - 1) * c + oy, 0);
  p_SetSize(1, 1);

  // The four circles, 1.5 cells in from the grid's corners, pushed outward while sliding.
  const float left = ox + 1.5f * c - 6 * kf, right = ox + (static_cast<float>(nx) - 1.5f) * c + 6 * kf;
  const float top = oy + 1.5f * c - 3 * kf, bottom = oy + (static_cast<float>(ny) - 1.5f) * c + 3 * kf;
  auto circle = [this, s](float x, float y) {
    p_SetCol(255, 255, 255, kOmittedF);
    p_Oval(x, y, s, s);
    p_SetCol(128, 128, 128, kOmittedF);
    p_Oval(x, y, s - 3, s - 3);
    p_SetCol(255, 255, 255, kOmittedF);
  };
  auto figures = [this](float x, float y, int a, int b, int c3) {
    p_Text(x, y - 16, String(a), 0.8f, 0.8f);
    p_Text(x, y, String(b), 0.8f, 0.8f);
    p_Text(x, y + 16, String(c3), 0.8f, 0.8f);
  };
  circle(left, top);
  figures(left, top, bb_graphics_DeviceWidth(), bb_graphics_DeviceHeight(), m_UpdFpsAvg);
  circle(right, top);
  figures(right, top, static_cast<int>(w), static_cast<int>(h), m_FpsAvg);
  circle(left, bottom);
  p_DrawImg(95, left, bottom, 12);
  circle(right, bottom);
  p_SetSize(0.3f, 0.3f);
  p_DrawImg(93, right, bottom, 0);
  p_ResetDraw();

  // Any press closes the box; it slides out as its counter falls.
  if (m_ShowCredits == 1) {
    if (m_MouseDown > 0 && m_PointerLatch == 0) {
      m_PointerLatch = 1;
      m_ShowCredits = 0;
      p_PlaySFX2(99, 1);
    } else if (m_KeyLatch == 0 &&
               (p_PlayKeyAll(15, 1) != 0 || p_PlayKeyAll(10, 1) != 0 || p_PlayKeyAll(11, 1) != 0)) {
      m_KeyLatch = 1;
      m_ShowCredits = 0;
      p_PlaySFX2(99, 1);
    }
  }
  return 0;
}
