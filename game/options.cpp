// options.cpp: the options box (sound mode, touchscreen mode, iCade, full screen, credits) and
// the pause menu shown over a paused game, with the gear icon they share.
#include <cmath>

#include "game/app.h"

namespace {

// Music counts as available when either the procedural player or the streamed tunes supply it.
bool MusicAvailable() { return bb_GW_HasMusic == 1 || bb_GW_HasMusicStream == 1; }

}  // namespace

int c_MyApp::p_Gear(float x, float y) {
  p_SetRot(-0.66f * m_GearSpin);
  p_DrawImg(95, x, y, 8);
  p_SetRot(0.33f * m_GearSpin);
  p_DrawImg(95, x, y, 9);
  p_SetRot(m_GearSpin);
  p_DrawImg(95, x, y, 10);
  p_SetRot(0);
  return 0;
}

int c_MyApp::p_OverscanControl(float cx, float y, int& keyLatch) {
  p_SetSize(2, 2);
  p_SetCol(255, 255, 255, 1);
  p_Text(cx, y, String("L1 <      Overscan      > R1"), 1, 1);
  p_SetSize(1, 1);
  p_SetCol(0, 128, 255, 0.5f);
  p_Rect(cx - 128, y - 5, 256, 9);
  p_SetCol(255, 255, 0, 0.75f);
  p_Rect(static_cast<float>(m_Settings[14]) * 2.67f + cx - 132, y - 8, 8, 16);
  p_ResetDraw();
  if (m_PointerLatch == 0 && p_MouseIn_Centered(cx, y, 256, 16)) {
    m_PointerLatch = 1;
    p_PlaySFX2(98, 1);
    m_Settings[14] = bb_GW_overscan < 32 ? 96 : 1;
  }
  if (keyLatch == 0 && p_PlayKeyAll(14, 1) != 0) {
    keyLatch = 1;
    m_Settings[14] -= 16;
  }
  if (keyLatch == 0 && p_PlayKeyAll(15, 1) != 0) {
    keyLatch = 1;
    m_Settings[14] += 16;
  }
  if (m_Settings[14] < 1) m_Settings[14] = 1;
  if (m_Settings[14] > 96) m_Settings[14] = 96;
  bb_GW_overscan = static_cast<float>(m_Settings[14]);
  return 0;
}

int c_MyApp::p_OptionBox() {
  const float w = bb_GW_jscrw, h = bb_GW_jscrh;
  const int slide = m_OptionsSlide;
  p_ResetDraw();
  if (bb_GW_isOuya == 1) {
    // Corner marks for judging the overscan on a television.
    p_Rect(0, 0, 16, 8);
    p_Rect(0, 0, 8, 16);
    p_Rect(w - 16, 0, 16, 8);
    p_Rect(w - 8, 0, 8, 16);
    p_Rect(0, h - 8, 16, 8);
    p_Rect(0, h - 16, 8, 16);
    p_Rect(w - 16, h - 8, 16, 8);
    p_Rect(w - 8, h - 16, 8, 16);
  }

  // The screens beneath ignore input; the box itself ignores it while it slides.
  m_PointerLatch = 1;
  m_KeyLatch = 1;
  if (slide != 30) {
    m_OptKeyLatch = 1;
    m_OptPointerLatch = 1;
  }

  p_SetCol(150, 75, 0, 0.85f);
  p_Rect(50, static_cast<float>((30 - slide) * 24), w - 100, h);

  auto close = [this]() {
    m_OptKeyLatch = 1;
    m_OptPointerLatch = 1;
    m_ShowOptions = 0;
    p_PlaySFX2(99, 1);
    p_Save();
  };

  // The back icon: a gear that slides in from the left.
  p_SetCol(255, 255, 255, 1);
  p_SetSize(m_OptCursor == 0 ? 2.0f : 1.5f, kOmittedF);
  m_GearSpin += 0.2f;
  const float backX = static_cast<float>((3 * slide - 90) * 4 + 100);
  p_Gear(backX, 60);
  bool backHit = p_ImageHit(95, backX, 60) != 0 || p_PlayKeyAll(99, 1) != 0;
  if (backHit && m_OptKeyLatch == 0 && m_OptPointerLatch == 0) close();
  p_SetSize(2, 2);
  p_Text(backX + 76, 60, String("<[BACK]"), 0, 1);
  p_ResetDraw();

  if (bb_GW_isOuya == 1) p_OverscanControl(w * 0.6f, static_cast<float>((3 * slide - 90) * 4 + 92), m_OptKeyLatch);

  // The option lines; hidden lines take no number.
  int line = 0;
  float y = static_cast<float>((30 - slide) * 24 + 130);
  auto buttonKeyDown = [this]() {
    for (int k = 10; k <= 15; ++k)
      if (p_PlayKeyAll(k, 1) != 0) return true;
    return false;
  };
  // Draws line `line` with its bar and label; true when it is activated and may act.
  auto lineAt = [&](float barX, float barW, float labelX, const String& label) {
    if (m_OptCursor == line) {
      p_SetCol(0, 180, 255, 0.5f);
    } else {
      p_SetCol(0, 0, 160, 0.5f);
    }
    bool activated = false;
    if (p_Touch(barX, y - 2, barW, 24) != 0) {
      m_OptCursor = line;
      activated = true;
    }
    if (m_OptCursor == line && buttonKeyDown()) activated = true;
    p_SetCol(255, 255, 255, 1);
    p_SetSize(2, 2);
    p_Text(labelX, y, label, 0, 0);
    p_SetSize(1, 1);
    return activated && m_OptKeyLatch == 0 && m_OptPointerLatch == 0;
  };
  auto acted = [this]() {
    m_OptKeyLatch = 1;
    m_OptPointerLatch = 1;
    p_PlaySFX2(99, 1);
  };

  // Sound mode: off, effects and music, effects only, music only (or off and on without music).
  ++line;
  int& sound = m_Settings[5];
  String soundLabel;
  if (MusicAvailable()) {
    if (sound > 3) sound = 0;
    static const char* const kModes[4] = {"Sound : Off", "Sound : SFX + Music", "Sound : SFX", "Sound : Music"};
    soundLabel = String(kModes[sound < 0 ? 0 : sound]);
  } else {
    if (sound >= 2) sound = 0;
    soundLabel = String(sound == 1 ? "Sound : On" : "Sound : Off");
  }
  if (lineAt(84, w - 168, 100, soundLabel)) {
    acted();
    if (MusicAvailable()) {
      sound = ((sound < 0 ? 0 : sound) + 1) % 4;
      if (sound == 0 || sound == 2) p_StopTune();
    } else {
      sound = 1 - sound;
    }
  }
  y += 40;

  if (bb_GW_isOuya == 0) {
    ++line;
    if (lineAt(84, w - 168, 100, String(m_Settings[15] == 0 ? "Touchscreen : Slide" : "Touchscreen : DPad"))) {
      acted();
      m_Settings[15] = 1 - m_Settings[15];
      for (m_I = 0; m_I < kVKeys; ++m_I) m_VKey[m_I] = 0;
    }
    y += 40;

    ++line;
    if (lineAt(84, w - 168, 100, String(bb_GW_iCadeControls == 0 ? "iCade : Off" : "iCade : On"))) {
      acted();
      p_iCade(1 - bb_GW_iCadeControls);
      for (m_I = 0; m_I < kVKeys; ++m_I) m_VKey[m_I] = 0;
    }
    y += 40;
  }

  ++line;
  if (lineAt(84, w - 168, 100, String(m_Fullscreen == 0 ? "Fullscreen" : "Windowed"))) {
    acted();
    p_FullscreenFlip();
  }
  y += 50;

  if (m_Paused == 0) {
    ++line;
    const float labelX = static_cast<float>(static_cast<int>(w - 264));
    if (lineAt(labelX - 16, 180, labelX, String("Credits"))) {
      m_ShowCredits = 1;
      m_ShowOptions = 0;
      m_OptKeyLatch = 0;
      m_OptPointerLatch = 0;
    }
  }
  const int lastLine = line;

  if (m_OptKeyLatch == 0) {
    if (m_OptCursor == 0 && (p_PlayKeyAll(15, 1) != 0 || p_PlayKeyAll(10, 1) != 0 || p_PlayKeyAll(11, 1) != 0)) {
      close();
    } else if (p_PlayKeyAll(0, 1) != 0 || p_PlayKeyAll(3, 1) != 0) {
      if (m_OptCursor > 0) --m_OptCursor;
      m_OptKeyLatch = 1;
      p_PlaySFX2(99, 1);
    } else if (p_PlayKeyAll(8, 1) != 0 || p_PlayKeyAll(5, 1) != 0) {
      if (m_OptCursor < lastLine) ++m_OptCursor;
      m_OptKeyLatch = 1;
      p_PlaySFX2(99, 1);
    }
  }

  if (m_MouseDown == 0) m_OptPointerLatch = 0;
  static const int kLatchKeys[] = {0, 3, 5, 8, 10, 11, 12, 13, 14, 15, 16, 17, 99};
  bool anyKey = false;
  for (int k : kLatchKeys)
    if (p_PlayKeyAll(k, 1) != 0) anyKey = true;
  if (!anyKey) m_OptKeyLatch = 0;
  p_ResetDraw();
  return 0;
}

int c_MyApp::p_PauseMenu() {
  const float h = bb_GW_jscrh;
  const float cx = bb_GW_jscrw * 0.5f;
  p_ResetDraw();
  p_SetCol(0, 0, 0, std::fabs(static_cast<float>(m_PauseY)) / (h * 0.8f));
  p_Rect(-1, -1, bb_GW_jscrw + 2, h + 2);

  if (m_PauseDir == 1 && static_cast<float>(m_PauseY) < h * 0.5f) m_PauseY += 24;
  if (m_PauseDir == -1) {
    if (m_PauseY < -63) {
      m_Paused = 0;
    } else {
      m_PauseY -= 24;
      if (m_PauseY < -32) m_Paused = 0;
    }
  }

  const float py = static_cast<float>(m_PauseY);
  p_ResetDraw();
  const bool landscape = m_Landscape == 1;
  if (landscape) {
    p_SetCol(255, 255, 10, 0.6f);
    p_Rect(cx - 128, py - 64, 256, 8);
    p_SetCol(255, 150, 10, 0.7f);
    p_Rect(cx - 140, py - 52, 280, 104);
    p_SetCol(10, 150, 255, 0.6f);
    p_Rect(cx - 128, py + 56, 256, 8);
  } else {
    p_SetCol(255, 255, 10, 0.6f);
    p_Rect(cx - 96, py - 92, 192, 8);
    p_SetCol(255, 150, 10, 0.7f);
    p_Rect(cx - 128, py - 80, 256, 160);
    p_SetCol(10, 150, 255, 0.6f);
    p_Rect(cx - 96, py + 84, 192, 8);
  }
  p_ResetDraw();
  if (bb_GW_isOuya == 1) p_OverscanControl(cx, py - 150, m_KeyLatch);

  auto highlight = [this](float x, float y) {
    p_SetSize(2.5f, 2.5f);
    p_SetCol(255, 255, 100, 1);
    p_DrawImg(97, x, y, 6);
  };
  auto resume = [this]() {
    m_Paused = 1;
    m_PauseDir = -1;
    p_PlaySFX2(98, 0.5f);
  };
  auto endGame = [this]() {
    m_Paused = 0;
    m_PauseDir = -1;
    m_PauseY = -64;
    m_GameOver = 1;
    p_PlaySFX(98, 0.5f, 0.5f, 0);
  };
  auto moveCursor = [this](int to, float rate) {
    m_KeyLatch = 1;
    m_PauseCursor = to;
    p_PlaySFX(98, rate, 0.5f, 0);
  };
  const bool left = p_PlayKeyAll(3, 1) != 0, right = p_PlayKeyAll(5, 1) != 0;
  const bool up = p_PlayKeyAll(0, 1) != 0, down = p_PlayKeyAll(8, 1) != 0;
  const bool buttonA = p_PlayKeyAll(10, 1) != 0;

  // Resume, in the middle.
  p_SetSize(2, 2);
  p_SetCol(50, 50, 250, 1);
  if (p_Button(97, cx, py, 3) != 0 && m_PointerLatch == 0) {
    m_PointerLatch = 1;
    resume();
  }
  if (m_PauseCursor == 0) {
    highlight(cx, py);
    if (m_KeyLatch == 0 && buttonA) {
      m_KeyLatch = 1;
      resume();
    } else if (m_KeyLatch == 0 && (left || up)) {
      moveCursor(-1, 0.8f);
    } else if (m_KeyLatch == 0 && right) {
      moveCursor(1, 1.2f);
    }
  }

  // Quit, top left of the panel.
  const float quitX = static_cast<float>(static_cast<int>(landscape ? cx - 140 : cx - 96));
  const float iconY = landscape ? py - 64 : py - 96;
  p_SetSize(2, 2);
  p_SetCol(255, 50, 50, 1);
  if (p_Button(97, quitX, iconY, 1) != 0 && m_PointerLatch == 0) {
    m_PointerLatch = 1;
    endGame();
  }
  if (m_PauseCursor == -1) {
    highlight(quitX, iconY);
    if (m_KeyLatch == 0 && buttonA) {
      m_KeyLatch = 1;
      endGame();
    } else if (m_KeyLatch == 0 && (right || down)) {
      moveCursor(0, 0.8f);
    }
  }

  // Options, top right of the panel.
  const float optX = static_cast<float>(static_cast<int>(landscape ? cx + 140 : cx + 96));
  p_ResetDraw();
  if (m_ShowOptions == 0) m_GearSpin += 0.2f;
  p_Gear(optX, iconY);
  if (p_ImageHit(95, optX, iconY) != 0 && m_PointerLatch == 0) {
    m_ShowOptions = 1;
    m_PointerLatch = 1;
    p_PlaySFX2(99, 1);
  }
  if (m_PauseCursor == 1) {
    highlight(optX, iconY);
    if (m_KeyLatch == 0 && buttonA) {
      m_KeyLatch = 1;
      m_ShowOptions = 1;
      p_PlaySFX2(98, 0.5f);
    } else if (m_KeyLatch == 0 && (left || down)) {
      moveCursor(0, 0.8f);
    }
  }

  if (m_KeyLatch == 0 && p_PlayKeyAll(99, 1) != 0) {
    m_KeyLatch = 1;
    resume();
  }
  p_ResetDraw();
  return 0;
}
