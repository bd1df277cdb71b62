// menus.cpp: the title menu with its twelve game types in three groups, its score panels and
// its way into the quest box; the quit confirmation; and the game-over display with the
// new-highscore line.
#include <algorithm>
#include <cmath>

#include "game/app.h"
#include "runtime/host/error.h"

namespace {

const char* const kGroupNames[3] = {"Classic", "Pathfinder", "Expanse"};
const char* const kEntryLabels[4] = {"Quest", "Path A", "Path B", "Random Path"};
const char* const kOrdinals[11] = {"", "1st!", "2nd", "3rd", "4th", "5th", "6th", "7th", "8th", "9th", "10th"};

constexpr int kEntries = 12;
constexpr int kRowGap = 42;

bool IsQuestType(int type) { return type == 1 || type == 5 || type == 9; }

}  // namespace

int c_MyApp::p_MenuUnlocked() {
  // Progress through the quest sets opens the entries group by group.
  int unlocked = 1;
  if (m_Quest[4] > 0) unlocked = 4;
  if (m_Quest[9] > 0) unlocked = 5;
  if (m_Quest[24] > 0 || m_Quest[4020] > 0) unlocked = 8;
  if (m_Quest[49] > 0 || m_Quest[4025] > 0) unlocked = 9;
  if (m_Quest[99] > 0 || m_Quest[4040] > 0 || m_Quest[8004] > 0) unlocked = 12;
  return unlocked;
}

int c_MyApp::p_MenuConfirm(int entry) {
  m_PointerLatch = 1;
  m_KeyLatch = 1;
  if (IsQuestType(entry)) {
    m_MenuPhase = 1;
    p_PlaySFX2(98, 1);
    p_GotoQuest();
  } else {
    m_GameType = entry;
    m_Mode = 11;
    p_PlaySFX2(98, 1);
  }
  return 0;
}

void c_MyApp::p_Quit() {
  p_FinishSave();
  bbError(String());
}

int c_MyApp::p_Menu() {
  const int unlocked = p_MenuUnlocked();
  const int firstLocked = unlocked + 1;
  const float w = bb_GW_jscrw, h = bb_GW_jscrh;
  p_CLS2D(0, 0, 80, 1);

  if (m_MenuSlide < 0 && (m_MenuPhase == 0 || m_MenuPhase == 2)) ++m_MenuSlide;
  if (m_MenuPhase == 1 && m_MenuSlide > -32) --m_MenuSlide;
  if (m_MenuSlide == 0 && m_MenuPhase == 2) m_MenuPhase = 0;
  const float slide = static_cast<float>(m_MenuSlide);

  if (m_KeyLatch == 0 && m_PointerLatch == 0) {
    bool back = p_PlayKeyAll(99, 1) != 0;
    if (bb_GW_isOuya == 1) {
      if (back || bb_input_KeyDown(27)) {
        m_Mode = 4;
        m_KeyLatch = 1;
        m_PointerLatch = 1;
      }
    } else if (back && m_MenuPhase == 0) {
      p_Quit();
    } else if (back && m_MenuPhase == 1) {
      m_MenuPhase = 0;
      m_KeyLatch = 1;
      m_PointerLatch = 1;
    }
  }

  // The score panel on the right, the list panel on the left, the logo between.
  p_SetCol(160, 160, 0, kOmittedF);
  p_Rect(w - 140 - 4 * slide, 0, 140, h);
  p_SetCol(160, 80, 0, 1);
  p_Rect(8 * slide, 0, 280, h);
  p_ResetDraw();
  p_DrawImg(98, w * 0.5f, 12 * slide + h * 0.2f, 0);

  if (m_MenuSel < 1 || m_MenuSel > unlocked) m_MenuSel = 1;
  m_GameType = m_MenuSel;

  if (m_MouseDown == 0) m_MenuDrag = 0;
  m_MenuTarget += m_MenuVel;
  m_MenuScroll += (m_MenuTarget - m_MenuScroll) * 0.125f;
  m_MenuVel *= 0.2f;
  if (std::fabs(m_MenuVel) < 3) m_MenuVel = 0;

  const bool boxesClosed = m_ShowCredits == 0 && m_ShowOptions == 0 && m_ShowBadges == 0;
  if (boxesClosed && m_MenuSlide > -30) {
    int y = static_cast<int>(m_MenuScroll + h * 0.5f);
    bool startShown = false;
    for (m_I = 1; m_I <= kEntries; ++m_I) {
      const int e = m_I;
      const bool visible = static_cast<float>(y) > -64 && static_cast<float>(y) < h + 64;
      if (e == 1 && static_cast<float>(y) > h * 0.75f) {
        m_MenuSel = 1;
        m_MenuTarget -= 8;
      }
      if (e == unlocked && static_cast<float>(y) < h * 0.45f) {
        m_MenuSel = unlocked;
        m_MenuTarget += 8;
      }
      if (e == firstLocked && visible) {
        p_ResetDraw();
        float fy = static_cast<float>(y);
        p_Text(16 * slide + 160, fy - 12, String("Play more"), 1, 1);
        p_Text(15 * slide + 160, fy, String("Quest Mode"), 1, 1);
        p_Text(14 * slide + 160, fy + 12, String("to unlock"), 1, 1);
      }
      if (e % 4 == 1) {
        p_ResetDraw();
        p_Toxt(static_cast<int>(8 * slide + 4), y, String(kGroupNames[e / 4]));
        y += kRowGap;
      }

      const bool selected = e == m_MenuSel;
      const int x = selected ? static_cast<int>(12 * slide + 124) : static_cast<int>(12 * slide + 100);
      p_ResetDraw();
      p_Alpha(selected ? 1.0f : e > unlocked ? 0.3f : 0.8f);
      bool barHit = false;
      if (static_cast<float>(y) > -64 && static_cast<float>(y) < h + 64) {
        barHit = p_Button_B(10, static_cast<float>(x), static_cast<float>(y), selected ? 1 : 0) != 0;
        p_SetSize(2, 2);
        p_Text(static_cast<float>(x - 90), static_cast<float>(y), String(kEntryLabels[(e - 1) % 4]), 0, 1);
        p_SetSize(1, 1);
      }
      if (barHit && !selected && m_PointerLatch == 0) {
        m_MenuSel = e;
        m_MenuTarget = static_cast<float>((1 - e) * kRowGap);
        m_MenuVel = 0;
        m_MenuDrag = 0;
        m_PointerLatch = 1;
        m_KeyLatch = 1;
        p_PlaySFX2(99, 1);
      }

      bool startHit = false;
      if (e == m_MenuSel && e <= unlocked && !startShown) {
        startShown = true;
        const float sx = w - 70, sy = h - 48 - 4 * slide;
        p_SetSize(3, 2.5f);
        p_SetCol(100, 255, 100, 0.3f);
        startHit = p_Button(97, sx, sy, 3) != 0;
        p_SetSize(2, 2);
        p_SetCol(255, 255, 255, 0.75f);
        p_Text(sx, sy, String("Start"), 1, 1);
        p_ResetDraw();
      }
      if ((barHit || startHit) && m_PointerLatch == 0 && m_KeyLatch == 0 && e == m_MenuSel &&
          m_MenuPhase == 0 && e <= unlocked)
        p_MenuConfirm(e);
      y += kRowGap;
    }
  }

  if (m_MenuPhase == 0 && boxesClosed && m_KeyLatch == 0) {
    auto move = [this]() {
      m_KeyLatch = 1;
      p_PlaySFX2(99, 1);
      m_MenuTarget = static_cast<float>((1 - m_MenuSel) * kRowGap);
      m_MenuVel = 0;
      m_MenuDrag = 0;
    };
    if ((p_PlayKeyAll(0, 1) != 0 || p_PlayKeyAll(3, 1) != 0) && m_MenuSel >= 2) {
      --m_MenuSel;
      move();
    }
    if (m_KeyLatch == 0 && (p_PlayKeyAll(8, 1) != 0 || p_PlayKeyAll(5, 1) != 0) && m_MenuSel < unlocked) {
      ++m_MenuSel;
      move();
    }
    if (m_KeyLatch == 0) {
      for (int button : {10, 11, 12, 13, 16, 17}) {
        if (p_PlayKeyAll(button, 1) != 0) {
          if (m_MenuSel <= unlocked) p_MenuConfirm(m_MenuSel);
          m_KeyLatch = 1;
          break;
        }
      }
    }
    if (m_KeyLatch == 0 && p_PlayKeyAll(15, 1) != 0) {
      m_KeyLatch = 1;
      p_PlaySFX2(99, 1);
      m_ShowCredits = 1;
    }
  }

  // The studio logo opens the credits.
  p_ResetDraw();
  p_SetSize(0.35f, 0.35f);
  p_DrawImg(93, w - 70, 4 * slide + 32, 0);
  if (p_ImageHit(93, w - 70, 4 * slide + 32) && m_PointerLatch == 0 && boxesClosed) {
    m_PointerLatch = 1;
    p_PlaySFX2(99, 1);
    m_ShowCredits = 1;
  }

  // Score panel: as many rows of the top-ten and last-ten lists as fit the window's height.
  p_SetSize(1.5f, 1.5f);
  p_SetCol(255, 200, 100, 1);
  int lineHeight = static_cast<int>(static_cast<float>(m_ImgInfo[3 * m_Font + 1]) * 1.5f);
  int rows = lineHeight > 0 ? static_cast<int>(h - 90 - h * 0.5f) / lineHeight : 1;
  if (rows < 1) rows = 1;
  if (rows > 10) rows = 10;
  const int base = 10 * (m_MenuSel - 1);
  String top = rows == 1 ? String("Highscore") : String("Top ") + String(rows);
  String last = rows == 1 ? String("Last") : String("Last ") + String(rows);
  for (int i = 0; i < rows; ++i) {
    top = top + String("\\n") + p_rstr(m_Scores[base + i], 11, String(" "));
    last = last + String("\\n") + p_rstr(m_Scores[base + 240 + i], 11, String(" "));
  }
  const bool showScores = boxesClosed && !IsQuestType(m_MenuSel);
  const float panelX = w - 140 - 4 * slide + 20;
  if (showScores) p_Text(panelX, 60, top, 0, 0);
  p_SetCol(200, 255, 100, kOmittedF);
  if (showScores) p_Text(panelX, h * 0.5f + 20, last, 0, 0);
  p_ResetDraw();

  if (m_MenuPhase == 1 || m_MenuPhase == 2) p_QuestBox();

  // A press that moves more than 2 units in one update becomes a drag of the list.
  if (m_PointerLatch != 1 && boxesClosed && m_MouseDown > 0) {
    m_MenuDrag = static_cast<float>(m_MouseY - m_OldMouseY) * 1.5f;
    if (std::fabs(m_MenuDrag) > 2 && m_MenuPhase == 0) {
      m_PointerLatch = 2;
      m_MenuVel += m_MenuDrag;
    }
  }
  return 0;
}

int c_MyApp::p_OuyaQuit() {
  const float w = bb_GW_jscrw, h = bb_GW_jscrh;
  p_CLS2D(180, 180, 180, -1);
  p_SetRot(0);
  p_SetCol(255, 255, 255, 1);
  p_SetSize(3, 3);
  m_DrawCount = 0;
  p_DrawImg(91, w * 0.5f, h * 0.5f, 0);

  struct Line {
    const char* text;
    float scale;
    int gap;
  };
  static const Line kLines[] = {
      {"It looks like you're", 3, 32},        {"trying to QUIT!", 3, 36},
      {"Are you absolutely sure", 2, 20},     {"you want to quit the game?", 2, 28},
      {"Isn't this fun?", 2, 38},             {"It'll be a shame to see you go.", 2, 38},
      {"Press (A) to Quit", 2, 20},           {"or (O) to return to the fun!", 2, 20},
  };
  const float x = static_cast<float>(static_cast<int>(w * 0.65f));
  int y = static_cast<int>(h * 0.3f);
  for (const Line& line : kLines) {
    p_SetSize(line.scale, line.scale);
    p_Text(x, static_cast<float>(y), String(line.text), 1, 1);
    y += line.gap;
  }

  if (m_KeyLatch == 0 && m_PointerLatch == 0) {
    if (p_PlayKeyAll(10, 1) != 0) {
      m_Mode = 1;
      m_KeyLatch = 1;
      m_PointerLatch = 1;
    } else if (p_PlayKeyAll(11, 1) != 0 || p_PlayKeyAll(12, 1) != 0 || p_PlayKeyAll(99, 1) != 0) {
      p_Quit();
    }
  }
  return 0;
}

String c_MyApp::p_MyNth() {
  const int score = m_Score;
  const int base = 10 * (m_GameType - 1);
  int rank = 0;
  for (int i = 1; i <= 10; ++i) {
    if (m_Scores[base + i - 1] <= score) {
      rank = i;
      break;
    }
  }
  m_I = rank;
  return String(kOrdinals[rank]);
}

int c_MyApp::p_GameOver() {
  const float w = bb_GW_jscrw, h = bb_GW_jscrh;
  if (m_GameOverStep >= 1) {
    const float step = static_cast<float>(m_GameOverStep);
    p_ResetDraw();
    p_SetCol(0, 0, 0, std::fmin(step / 40, 0.7f));
    p_Rect(-1, -1, w + 2, h + 2);
    const int g = std::min(m_GameOverStep * 12, static_cast<int>(h * 0.45f));
    const float gf = static_cast<float>(g);
    p_SetCol(255, 255, 0, 0.5f);
    p_Rect(-1, h * 0.45f - 8, 2 * gf, 16);
    p_SetCol(255, 128, 0, 0.5f);
    p_Rect(w - 2 * gf, h * 0.55f - 8, 2 * gf + 1, 16);
    p_SetSize(4, 4);
    p_SetCol(255, 180, 180, 1);
    p_Text(w * 0.35f, gf, String("GAME"), 1, 1);
    p_Text(w * 0.65f, h - gf, String("OVER"), 1, 1);

    String nth = p_MyNth();
    if (m_I > 0 && !IsQuestType(m_GameType)) {
      p_SetSize(1, 1);
      p_SetCol(0, 125, 255, 0.5f);
      p_Rect(w * 0.35f, h - gf / 1.5f - 16, w * 0.3f, 32);
      p_SetSize(2, 2);
      p_SetCol(100, 255, 100, 1);
      p_Text(w * 0.5f, h - gf / 1.5f, String("New Highscore\\n           ") + nth, 0.5f, 2);
    }
    p_ResetDraw();
  }

  if (m_Mode == 10) {
    ++m_GameOverStep;
    if (m_GameOverStep >= 90) {
      m_Mode = 2;
      m_GameOverStep = 75;
      if (bb_GW_HasMusic == 1) m_Music->p_Kx_Stop(1);
      if (bb_GW_HasMusicStream == 1) p_StopTune();
    }
  }
  if (m_Mode < 10) m_GameOverStep = std::max(m_GameOverStep - 2, 0);
  return 0;
}
