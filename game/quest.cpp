// quest.cpp: the quest box, where the player picks a numbered level of one of the three quest
// sets (worlds of ten rows, locked levels in red, best scores or "Complete"); and the badge
// table, its pop-ups and its list box.
#include <cmath>

#include "game/app.h"

namespace {

constexpr int kQuestLevels = 1000;
constexpr float kRowHeight = 72;

// The quest set of a game type: 4 for Pathfinder's quest, 8 for Expanse's, 0 otherwise.
int QuestSetOf(int type) { return type == 5 ? 4 : type == 9 ? 8 : 0; }

// The row offset that brings row `row` to the box's reference position.
float RowTarget(int row) { return -kRowHeight * static_cast<float>(row) + 128; }

}  // namespace

int c_MyApp::p_GotoQuest() {
  m_QuestSet = QuestSetOf(m_GameType);
  m_QuestTop = 0;
  m_QuestRefresh = 30;
  for (m_I = 1; m_I <= kQuestLevels; ++m_I)
    if (m_Quest[kQuestLevels * m_QuestSet + m_I - 1] > 0) m_QuestTop = m_I;
  if (m_QuestTop < kQuestLevels) {
    m_QuestWorld = m_QuestMaxWorld = m_QuestTop / 10;
    m_QuestLevel = m_QuestTop % 10;
    m_QuestTarget = RowTarget(m_QuestLevel);
  } else {
    m_QuestTop = 999;
    m_QuestWorld = m_QuestMaxWorld = 99;
    m_QuestLevel = 9;
    m_QuestTarget = -520;
  }
  m_QuestRefresh = 0;
  return 0;
}

int c_MyApp::p_QuestBox() {
  const float w = bb_GW_jscrw, h = bb_GW_jscrh;
  const float cx = w * 0.5f;
  m_QuestSet = QuestSetOf(m_GameType);
  if (m_QuestRefresh <= 1) {
    m_QuestRefresh = 30;
    for (m_I = 1; m_I <= kQuestLevels; ++m_I)
      if (m_Quest[kQuestLevels * m_QuestSet + m_I - 1] > 0) m_QuestTop = m_I;
    if (m_QuestTop >= kQuestLevels) {
      m_QuestTop = 999;
      m_QuestMaxWorld = 99;
    } else {
      m_QuestMaxWorld = m_QuestTop / 10;
    }
  } else {
    --m_QuestRefresh;
  }

  const bool latchesFree = m_KeyLatch == 0 && m_PointerLatch == 0;
  auto act = [this]() {
    m_KeyLatch = 1;
    m_PointerLatch = 1;
  };
  if (m_MenuPhase == 1) {
    p_ResetDraw();
    p_SetSize(-2, 2);
    p_SetCol(100, 255, 100, 0.75f);
    p_DrawImg(97, 40, 32, 3);
    p_ResetDraw();
    p_SetSize(1.5f, 1.5f);
    p_Text(40, 48, String("<- Back"), 1, 0);
    p_ResetDraw();
    if (latchesFree) {
      if (p_MouseIn(0, 0, 64, 64) != 0 || p_PlayKey(99, 1, 0) != 0 || p_PlayKey(11, 1, 0) != 0 ||
          p_PlayKey(13, 1, 0) != 0) {
        act();
        p_PlaySFX2(99, 1);
        m_MenuPhase = 2;
      } else if (p_PlayKey(0, 1, 0) != 0 && m_QuestLevel > 0) {
        act();
        --m_QuestLevel;
        m_QuestTarget = RowTarget(m_QuestLevel);
        p_PlaySFX2(99, 0.5f);
      } else if (p_PlayKey(8, 1, 0) != 0 && m_QuestLevel < 9) {
        act();
        ++m_QuestLevel;
        m_QuestTarget = RowTarget(m_QuestLevel);
        p_PlaySFX2(99, 0.5f);
      } else if (p_PlayKey(3, 1, 0) != 0 && m_QuestWorld > 0) {
        act();
        --m_QuestWorld;
        p_PlaySFX2(99, 0.5f);
      } else if (p_PlayKey(5, 1, 0) != 0 && m_QuestWorld < m_QuestMaxWorld) {
        act();
        ++m_QuestWorld;
        p_PlaySFX2(99, 0.5f);
      }
    }
  }

  p_ResetDraw();
  p_SetSize(3, 2.5f);
  p_SetCol(100, 255, 100, 0.3f);
  const bool startHit = p_Button(97, w - 70, h - 48, 3) != 0;
  p_SetCol(255, 255, 255, 0.75f);
  p_SetSize(2, 2);
  p_Text(w - 70, h - 57, String("Start"), 1, 1);
  p_Text(w - 70, h - 39, String("Level"), 1, 1);
  p_ResetDraw();

  // The rows slide in from the right as the menu slides out to the left.
  m_QuestScroll += (m_QuestTarget - m_QuestScroll) * 0.125f;
  const int offset = 16 * (m_MenuSlide + 32);
  for (int r = 0; r < 10; ++r) {
    int y = static_cast<int>(kRowHeight * static_cast<float>(r) + m_QuestScroll);
    if (r == 0 && static_cast<float>(y) > h * 0.9f) m_QuestTarget -= 8;
    if (r == 9 && y < 32) m_QuestTarget += 8;
    y += offset;
    const int x = static_cast<int>(cx) + offset;
    const int level = 10 * m_QuestWorld + r;
    const bool locked = level > m_QuestTop;
    const bool cursor = r == m_QuestLevel;
    if (cursor && !locked && m_KeyLatch == 0 && m_PointerLatch == 0 &&
        (p_PlayKey(10, 1, 0) != 0 || p_PlayKey(12, 1, 0) != 0 || startHit)) {
      act();
      p_PlaySFX2(98, 1);
      m_Mode = 11;
    }
    p_QuestLev(x, y, level, m_QuestSet, cursor ? 1 : 0, locked ? 1 : 0);
  }

  if (std::fabs(m_MenuDrag) > 2 && m_MenuPhase == 1) {
    m_PointerLatch = 2;
    m_QuestTarget += m_MenuDrag;
  }

  if (m_QuestWorld < 0) m_QuestWorld = 0;
  if (m_QuestWorld > 99) m_QuestWorld = 99;
  String title = String(m_QuestWorld > 0 ? "< Quest " : "  Quest ") + p_rstr(m_QuestWorld, 2, String("0")) +
                 String(m_QuestWorld < m_QuestMaxWorld ? " > " : "   ");

  if (m_MouseDown > 0 && m_KeyLatch == 0 && m_PointerLatch == 0) {
    if (p_MouseIn(cx - 204, 0, 64, 64) != 0 && m_QuestWorld > 0) {
      act();
      --m_QuestWorld;
      p_PlaySFX2(99, 0.5f);
    } else if (p_MouseIn(cx + 140, 0, 64, 64) != 0 && m_QuestWorld < m_QuestMaxWorld) {
      act();
      ++m_QuestWorld;
      p_PlaySFX2(99, 0.5f);
    }
  }

  if (m_QuestWorld > m_QuestMaxWorld) m_QuestWorld = m_QuestMaxWorld;
  if (10 * m_QuestWorld + m_QuestLevel > m_QuestTop) m_QuestLevel = m_QuestTop % 10;

  p_ResetDraw();
  m_Font = 89;
  p_SetSize(2, 2);
  p_Text(cx, static_cast<float>(8 - 6 * (m_MenuSlide + 32)), title, 1, 0);
  m_Font = 90;
  p_SetSize(1, 1);
  return 0;
}

int c_MyApp::p_QuestLev(int x, int y, int level, int set, int isCursor, int locked) {
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  p_ResetDraw();
  if (isCursor == 0) p_Alpha(0.5f);
  if (locked != 0) {
    p_SetCol(160, 0, 0, kOmittedF);
  } else {
    p_SetCol(0, 80, 160, kOmittedF);
  }
  p_Rect(fx - 160, fy, 320, 64);

  // A touch on a locked cursor row does nothing, and the same press may still drag the list.
  if (p_MouseIn(fx - 160, fy, 320, 64) != 0 && m_MouseDown > 0 && m_KeyLatch == 0 && m_PointerLatch == 0 &&
      (isCursor == 0 || locked == 0)) {
    m_KeyLatch = 1;
    m_PointerLatch = 1;
    if (isCursor != 0) {
      p_PlaySFX2(98, 1);
      m_Mode = 11;
    } else {
      m_QuestLevel = level % 10;
      p_PlaySFX2(99, 0.5f);
    }
  }

  p_SetCol(255, 255, 255, isCursor != 0 ? 1.0f : 0.5f);
  m_Font = 89;
  p_SetSize(2, 2);
  p_Text(fx - 158, fy + 32, p_rstr(level, 3, String("0")), 0, 1);
  m_Font = 90;
  const int best = m_Quest[kQuestLevels * set + level];
  if (m_GameType != 5) {
    p_Text(fx + 158, fy + 13, p_rstr(best, 8, String("0")), 2, 0);
  } else if (best > 0) {
    p_Text(fx + 158, fy + 13, String("Complete"), 2, 0);
  }
  p_ResetDraw();
  return 0;
}

String c_MyApp::p_BadgeID(int id) {
  if (id == 0) return String("Test Badge|This is a Test Badge which has no purpose.");
  return String();
}

String c_MyApp::p_BadgeName(int id) {
  String text = p_BadgeID(id);
  int bar = text.Find(String("|"));
  return bar < 0 ? text : text.Slice(0, bar);
}

String c_MyApp::p_BadgeDetail(int id) {
  String text = p_BadgeID(id);
  int bar = text.Find(String("|"));
  return bar < 0 ? String() : text.Slice(bar + 1);
}

int c_MyApp::p_ShowBadges() {
  // The last two queue entries are never shown.
  for (int s = 0; s < 13; ++s) {
    p_ResetDraw();
    if (m_BadgeTime[s] < 1) continue;
    const int t = ++m_BadgeTime[s];
    int x = 16 * t - 160;
    if (t > 230) x = 16 * (240 - t) - 160;
    if (x > 0) x = 0;
    const float fx = static_cast<float>(x);
    const float y = bb_GW_jscrh - static_cast<float>(34 * (s + 1));
    p_SetCol(0, 0, 80, 0.8f);
    p_Rect(fx, y, 160, 32);
    p_SetCol(255, 255, 255, 1);
    const int id = m_BadgeQueue[s];
    p_Text(fx + 16, y + 4, p_BadgeName(id), 0, 0);
    if (id >= 0 && id <= 63) {
      p_SetSize(0.5f, 0.5f);
      p_DrawImg(80, fx + 144, y + 16, static_cast<float>(id));
    }
    if (t > 240) m_BadgeTime[s] = 0;
  }
  p_ResetDraw();
  return 0;
}

int c_MyApp::p_BadgesBox() {
  const float w = bb_GW_jscrw, h = bb_GW_jscrh;
  p_ResetDraw();
  p_SetCol(255, 125, 0, 0.8f);
  p_Rect(w * 0.1f, -1, w * 0.8f, h + 2);
  p_SetCol(100, 0, 0, 0.8f);
  p_Rect(w * 0.12f, -1, w * 0.76f, h + 2);
  p_ResetDraw();

  if (p_PlayKeyAll(8, 1) != 0) m_BadgeTarget -= 16;
  if (p_PlayKeyAll(0, 1) != 0) m_BadgeTarget += 16;
  if (m_MouseDown != 0 && static_cast<float>(m_MouseX) > w * 0.12f)
    m_BadgeTarget -= 1.5f * static_cast<float>(m_OldMouseY - m_MouseY);
  if (m_BadgeTarget > 0) m_BadgeTarget = 0;
  m_BadgeScroll += (m_BadgeTarget - m_BadgeScroll) / 6;
  if (std::fabs(m_BadgeTarget - m_BadgeScroll) < 6) m_BadgeScroll = m_BadgeTarget;
  return 0;
}
