// display.cpp: the display list (recording during the update, replay in the render pass),
// the sticky draw state and bitmap text.
#include <cmath>

#include "game/app.h"

namespace {

// sin and cos of degrees with the game's single-precision conversion.
float SinD(float degrees) { return std::sin(degrees * 0.0174532924f); }
float CosD(float degrees) { return std::cos(degrees * 0.0174532924f); }

// Kerning of the proportional font (slot 90), in virtual units.
int Kerning(int font, int c) {
  if (font != 90) return 0;
  switch (c) {
    case 'w': case 'm': return 2;
    case 'W': case 'M': return 1;
    case 'i': case 'f': case 'l': return -3;
    case 'j': case 's': case 'k': case 'r': case 'z': case 't': case 'n': return -1;
  }
  return 0;
}

}  // namespace

int c_MyApp::p_CLS2D(float r, float g, float b, float a) {
  if (r > kOmittedF) {
    m_ClsR = r;
    m_ClsG = g;
    m_ClsB = b;
    m_ClsA = a;
  }
  p_ResetDraw();
  m_DrawCount = 0;
  return 0;
}

int c_MyApp::p_ResetDraw() {
  m_DrawSX = m_DrawSY = 1;
  m_DrawRot = 0;
  m_DrawR = m_DrawG = m_DrawB = 255;
  m_DrawAlpha = 1;
  m_DrawBlend = 1;
  return 0;
}

int c_MyApp::p_SetCol(float r, float g, float b, float a) {
  m_DrawR = r;
  m_DrawG = g;
  m_DrawB = b;
  if (a > kOmittedF) m_DrawAlpha = a;
  return 0;
}

int c_MyApp::p_SetSize(float sx, float sy) {
  m_DrawSX = sx;
  m_DrawSY = sy > kOmittedF ? sy : sx;
  return 0;
}

int c_MyApp::p_SetRot(float angle) {
  m_DrawRot = -angle;
  return 0;
}

int c_MyApp::p_Alpha(float a) {
  m_DrawAlpha = a;
  return 0;
}

bool c_MyApp::RecordEntry(float kind, float x, float y, float sx, float sy, float frame) {
  if (m_DrawCount > kLastEntryStart) return false;
  float* e = m_DrawList.Data() + m_DrawCount;
  e[0] = kind;
  e[1] = x;
  e[2] = y;
  e[3] = m_DrawRot;
  e[4] = sx;
  e[5] = sy;
  e[6] = frame;
  e[7] = m_DrawAlpha;
  e[10] = m_DrawR;
  e[11] = m_DrawG;
  e[12] = m_DrawB;
  e[13] = static_cast<float>(m_DrawBlend);
  m_DrawCount += kEntryFloats;
  return true;
}

int c_MyApp::p_DrawImg(int slot, float x, float y, float frame) {
  RecordEntry(static_cast<float>(slot), x, y, m_DrawSX, m_DrawSY, frame);
  return 0;
}

int c_MyApp::p_Rect(float x, float y, float w, float h) {
  RecordEntry(kRectMarker, x, y, w, h, 0);
  return 0;
}

int c_MyApp::p_Oval(float x, float y, float rx, float ry) {
  RecordEntry(kOvalMarker, x, y, rx, ry, 0);
  return 0;
}

int c_MyApp::p_Text(float x, float y, String text, float alignX, float alignY) {
  String s = String(" ") + text;
  int n = text.Length();
  int f = m_Font;
  float aw = static_cast<float>(m_ImgInfo[3 * f]);
  float ah = static_cast<float>(m_ImgInfo[3 * f + 1]);
  float theta = -m_DrawRot;

  int width = 0;
  for (int i = 0; i < n; ++i)
    width = static_cast<int>(static_cast<float>(width) + (aw + static_cast<float>(Kerning(f, s[i]))) * m_DrawSX);

  float x1 = x + SinD(theta - 90) * static_cast<float>(width) * 0.5f * alignX;
  float y1 = y - CosD(theta - 90) * static_cast<float>(width) * 0.5f * alignX;
  float x0 = x1 + SinD(theta) * ah * m_DrawSY * (alignY - 1) * 0.5f;
  float y0 = y1 - CosD(theta) * ah * m_DrawSY * (alignY - 1) * 0.5f;

  float penX = x0, penY = y0;
  int line = 0;
  for (int i = 0; i < s.Length(); ++i) {
    int c = s[i];
    if (c == '\\' && i + 1 < s.Length() && s[i + 1] == 'n') {
      ++line;
      float l = ah * m_DrawSY * static_cast<float>(line);
      penX = x0 + SinD(180 + theta) * l;
      penY = y0 - CosD(180 + theta) * l;
      ++i;
      continue;
    }
    if (c == 0) continue;
    if (c >= 33 && c <= 159) p_DrawImg(f, penX, penY, static_cast<float>(c - 32));
    float advance = (aw + static_cast<float>(Kerning(f, c))) * m_DrawSX;
    penX += SinD(90 + theta) * advance;
    penY -= CosD(90 + theta) * advance;
  }
  return 0;
}

int c_MyApp::p_Toxt(int x, int y, String text) {
  m_DrawAlpha = 0.5f;
  p_DrawImg(10, static_cast<float>(x + 45), static_cast<float>(y), 1);
  p_SetSize(2, 2);
  m_DrawAlpha = 1;
  p_Text(static_cast<float>(x), static_cast<float>(y), text, 0, 1);
  p_SetSize(1, 1);
  return 0;
}

String c_MyApp::p_rstr(int value, int width, String pad) {
  String s = pad;
  for (int i = 0; i < width; ++i) s = s + pad;
  s = s + String(value);
  if (s.Length() <= width) return s;
  return s.Slice(s.Length() - width);
}

int c_MyApp::p_OnRender() {
  if (bb_GW_HasMusic == 1) p_MusicRender();

  int clock = bb_app_Millisecs();
  if (clock > m_LastRenderMs) m_Fps = 1000 / (bb_app_Millisecs() - m_LastRenderMs);
  m_FpsAvg = (9 * m_FpsAvg + m_Fps) / 10;
  m_LastRenderMs = bb_app_Millisecs();

  int devW = bb_graphics_DeviceWidth();
  int devH = bb_graphics_DeviceHeight();
  bb_graphics_SetColor(m_ClsR, m_ClsG, m_ClsB);
  bb_graphics_SetAlpha(m_ClsA);
  bb_graphics_DrawRect(-1, -1, static_cast<float>(devW + 2), static_cast<float>(devH + 2));
  bb_graphics_SetColor(255, 255, 255);
  bb_graphics_SetAlpha(1);

  if (devW != m_DevW || devH != m_DevH) {
    m_LoadStep = 1;
    m_DevW = devW;
    m_DevH = devH;
  }

  if (devW <= 0 || devH <= 0) return 0;  // a minimised window has nothing to scale to
  float sx = (static_cast<float>(devW) - 2 * bb_GW_overscan) / bb_GW_rawscrw;
  float sy = (static_cast<float>(devH) - 2 * bb_GW_overscan) / bb_GW_rawscrh;
  float f;
  if (sy > sx) {
    m_ScaleX = m_ScaleY = sy;
    f = static_cast<float>(devH) / bb_GW_rawscrh;
  } else {
    m_ScaleX = m_ScaleY = sx;
    f = static_cast<float>(devW) / bb_GW_rawscrw;
  }
  bb_GW_jscrw = static_cast<float>(devW) / f;
  bb_GW_jscrh = static_cast<float>(devH) / f;
  m_Landscape = bb_GW_jscrw >= bb_GW_jscrh ? 1 : 0;

  float ox = bb_GW_overscan;
  float oy = bb_GW_overscan * static_cast<float>(devH) / static_cast<float>(devW);
  if (m_DrawCount > 14) {
    const float* list = m_DrawList.Data();
    for (int i = 0; i < m_DrawCount - 14; i += kEntryFloats) {
      const float* e = list + i;
      bb_graphics_SetAlpha(e[7]);
      bb_graphics_SetColor(e[10], e[11], e[12]);
      bb_graphics_SetBlend(e[13] == 3 ? 1 : 0);
      float px = e[1] * m_ScaleX + ox;
      float py = e[2] * m_ScaleY + oy;
      if (e[0] == kRectMarker) {
        bb_graphics_DrawRect(px, py, e[4] * m_ScaleX, e[5] * m_ScaleY);
      } else if (e[0] == kOvalMarker) {
        float w = e[4] * m_ScaleX, h = e[5] * m_ScaleY;
        bb_graphics_DrawEllipse(px, py, w, h);
      } else if (e[0] == kLineMarker) {
        bb_graphics_DrawLine(px, py, e[4] * m_ScaleX + ox, e[5] * m_ScaleY + oy);
      } else if (e[0] > -1) {
        int slot = static_cast<int>(e[0]);
        c_Image* image = slot < kImages ? m_Img[slot] : nullptr;
        if (image)
          bb_graphics_DrawImage2(image, px, py, e[3], e[4] * m_ScaleX * m_ImgScale,
                                 e[5] * m_ScaleY * m_ImgScale, static_cast<int>(e[6]));
      }
    }
  }
  bb_graphics_SetAlpha(0.5f);
  bb_graphics_SetColor(255, 255, 255);
  return 0;
}
