// loader.cpp: the incremental asset loader, image and font loading, and the loading screen.
#include <cmath>

#include "game/app.h"

void c_MyApp::SetGraphicsLevel() {
  int w = bb_graphics_DeviceWidth();
  int h = bb_graphics_DeviceHeight();
  m_GfxLevel = 1;
  m_ImgScale = 1;
  if (w > 630 || h > 630) {
    m_GfxLevel = 2;
    m_ImgScale = 0.5f;
  }
  if (w > 1230 || h > 1230) {
    m_GfxLevel = 4;
    m_ImgScale = 0.25f;
  }
}

// The file of an image at the loaded resolution level.
static String bbImagePath(String name, int level) {
  if (level == 2) name = name + String("-hd");
  if (level == 4) name = name + String("-hd2");
  return name + String(".png");
}

int c_MyApp::p_LoadImg(int slot, String name, int width, int height, int frames, int flags) {
  m_Img[slot] = nullptr;
  gc_assign(m_Img[slot], bb_graphics_LoadImage2(bbImagePath(name, m_GfxLevel), width * m_GfxLevel,
                                                height * m_GfxLevel, frames, flags));
  m_ImgInfo[3 * slot] = width * m_GfxLevel;
  m_ImgInfo[3 * slot + 1] = height * m_GfxLevel;
  m_ImgInfo[3 * slot + 2] = frames;
  return 0;
}

int c_MyApp::p_LoadFont(int slot, String name, int glyphWidth, int glyphHeight) {
  m_Img[slot] = nullptr;
  gc_assign(m_Img[slot], bb_graphics_LoadImage2(bbImagePath(name, m_GfxLevel), 16 * m_GfxLevel,
                                                16 * m_GfxLevel, 128, 1));
  m_ImgInfo[3 * slot] = glyphWidth;
  m_ImgInfo[3 * slot + 1] = glyphHeight;
  m_ImgInfo[3 * slot + 2] = 128;
  m_Font = slot;
  return 0;
}

int c_MyApp::p_Reload() {
  m_ClsR = m_ClsG = m_ClsB = 0;
  m_ClsA = 1;
  SetGraphicsLevel();
  p_LoadImg(93, String("common/StudioLogo"), 256, 256, 1, 1);
  p_LoadFont(90, String("fonts/small"), 7, 10);
  m_Font = 90;
  m_LoadStep = 1;
  return 0;
}

int c_MyApp::p_Loader() {
  SetGraphicsLevel();
  int step = m_LoadStep;
  switch (step) {
    case 1:
      p_LoadImg(97, String("common/icons"), 32, 32, 16, 1);
      p_LoadSFX(96);
      break;
    case 2:
      p_LoadImg(95, String("common/Buttons"), 64, 64, 16, 1);
      p_LoadImg(10, String("menubar"), 256, 64, 2, 1);
      break;
    case 3: p_LoadImg(94, String("common/dpad"), 32, 32, 16, 1); break;
    case 4:
      p_LoadImg(93, String("common/StudioLogo"), 256, 256, 1, 1);
      if (m_JinglePlayed == 0) {
        p_PlaySFX2(96, 1);
        m_JinglePlayed = 1;
      }
      break;
    case 5: p_LoadImg(91, String("common/Testcard_Circle"), 256, 256, 1, 1); break;
    case 6:
      p_LoadFont(89, String("fonts/garvolin"), 16, 16);
      p_LoadFont(90, String("fonts/small"), 7, 10);
      break;
    case 7: p_LoadSFX(1); break;
    case 8: p_LoadSFX(95); break;
    case 9: p_LoadSFX(98); break;
    case 10: p_LoadSFX(99); break;
    case 11: p_LoadImg(99, String("menu"), 256, 256, 4, 1); break;
    case 12: p_LoadImg(98, String("logo"), 256, 128, 1, 1); break;
    case 13: p_LoadImg(96, String("parts"), 8, 8, 256, 1); break;
    case 14: p_LoadImg(80, String("BadgesA"), 64, 64, 64, 1); break;
    case 15: p_LoadImg(1, String("garvolin"), 64, 64, 16, 1); break;
    case 16: p_LoadImg(2, String("bits"), 64, 64, 16, 1); break;
    case 17: p_LoadImg(3, String("nme"), 64, 64, 16, 1); break;
    case 18: {
      String name = m_World == 0 ? String("world-01") : String("world-") + p_rstr(m_World, 2, String("0"));
      p_LoadImg(4, name, 64, 64, 16, 1);
      break;
    }
    case 19:
      p_LoadImg(5, String("dislike"), 64, 64, 16, 1);
      p_LoadSFX(2);
      break;
    default:
      if (step >= 20 && step <= 38) p_LoadSFX(step - 17);
      break;
  }
  if (m_LoadStep >= 39) {
    m_LoadStep = 0;
  } else if (m_LoadStep > 0) {
    m_LoadStep += 1;
  }
  p_WaitStart(1);
  return 0;
}

// sin and cos of an angle in degrees, with the game's single-precision conversion.
static float bbSinD(float degrees) { return std::sin(degrees * 0.0174532924f); }
static float bbCosD(float degrees) { return std::cos(degrees * 0.0174532924f); }

int c_MyApp::p_WaitStart(int phase) {
  p_CLS2D(40, 40, 80, 1);
  int s = static_cast<int>(bb_GW_jscrw < bb_GW_jscrh ? bb_GW_jscrw : bb_GW_jscrh);
  int a = m_Spin;
  m_Spin += 16;
  float cx = bb_GW_jscrw * 0.5f;
  float cy = bb_GW_jscrh * 0.5f;
  auto ring = [&](float r, float g, float b, int base) {
    for (m_I = 0; m_I <= 10; ++m_I) {
      p_SetCol(r, g, b, static_cast<float>(m_I) / 10.0f);
      float theta = static_cast<float>(base + 16 * m_I);
      p_Oval(cx + bbSinD(theta) * s * 0.25f, cy - bbCosD(theta) * s * 0.25f, 8, 8);
    }
  };
  if (phase == 1) ring(250, 250, 250, a + 196);
  p_SetCol(255, 255, 0, 0.8f);
  p_Oval(cx, cy, 0.3f * s, 0.3f * s);
  p_SetCol(250, 160, 60, 0.7f);
  p_Rect(0, bb_GW_jscrh * 0.4f, bb_GW_jscrw, bb_GW_jscrh * 0.2f);
  p_ResetDraw();
  p_DrawImg(93, cx, bb_GW_jscrh * 0.48f, 0);
  if (phase == 1) {
    ring(50, 50, 50, m_Spin);
    return 0;
  }
  p_SetCol(0, 0, 0, 0.2f);
  p_SetSize(1, kOmittedF);
  float ty = bb_GW_jscrh * 0.7f;
  p_Oval(cx, ty, 136, 24);
  p_Oval(cx, ty, 132, 20);
  p_Oval(cx, ty, 128, 16);
  p_SetSize(2, kOmittedF);
  p_SetCol(255, 255, 255, 1);
  p_Text(cx, ty, String("Click to Start"), 1, 1);
  if (m_MouseHit > 0 && bb_GW_jscrw * 0.25f < m_MouseX && m_MouseX < bb_GW_jscrw * 0.75f &&
      bb_GW_jscrh * 0.25f < m_MouseY && m_MouseY < bb_GW_jscrh * 0.75f) {
    m_PointerLatch = 1;
    m_Mode = 1;
    p_Reload();
    bb_app_SetUpdateRate(60);
  }
  return 0;
}
