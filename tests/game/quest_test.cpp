// The quest box, the badge pop-ups and list box, and the credits box.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "menu_steps.h"

namespace {

using gametest::Game;
using menutest::Glyphs;
using menutest::Press;
using menutest::Ready;
using menutest::Rects;
using menutest::Has;
using menutest::Tap;
using namespace menutest::keys;

// Opens the quest box of the selected entry and lets the menu slide out of the way.
void OpenQuestBox(Game& g) {
  Press(g, kEnter);
  ASSERT_EQ(g.app->m_MenuPhase, 1);
  g.Updates(40);
}

// The title is the last text drawn in the large font: quest, world number and arrows.
std::string Title(const Game& g) {
  std::string text = Glyphs(g, 89);
  size_t at = text.rfind("Quest");
  if (at == std::string::npos) return "";
  if (at > 0 && text[at - 1] == '<') --at;
  return text.substr(at);
}

// Whether each of the ten rows is drawn red (locked).
std::string LockedRows(const Game& g) {
  std::string rows;
  for (const float* e : Rects(g, 320, 64)) rows += e[10] == 160 && e[12] == 0 ? 'L' : e[12] == 160 ? '-' : '?';
  return rows;
}

TEST(QuestBox, WithNoProgressItOpensOnLevelZeroAndEveryOtherLevelIsLocked) {
  Game g;
  Ready(g);
  OpenQuestBox(g);
  c_MyApp* app = g.app;
  EXPECT_EQ(app->m_QuestSet, 0);
  EXPECT_EQ(app->m_QuestTop, 0);
  EXPECT_EQ(app->m_QuestWorld, 0);
  EXPECT_EQ(app->m_QuestLevel, 0);
  EXPECT_EQ(Title(g), "Quest00") << "no arrows";
  EXPECT_EQ(LockedRows(g), "-LLLLLLLLL");
  EXPECT_TRUE(Has(Glyphs(g, 89), "000001002")) << Glyphs(g, 89);
  // Neither keys nor touches reach a locked level.
  Press(g, kDown);
  EXPECT_EQ(app->m_QuestLevel, 0) << "the cursor is held on the playable level";
  Press(g, kRight);
  EXPECT_EQ(app->m_QuestWorld, 0);
  EXPECT_EQ(app->m_Mode, 1);
  // A press on a locked level under the cursor (where it stands for an update after a change of
  // world) does nothing, not even latch the pointer.
  const float* row = Rects(g, 320, 64)[3];
  g.MouseDown(row[1] + 160, row[2] + 32);
  app->m_QuestLevel = 3;
  g.Update();
  EXPECT_EQ(app->m_PointerLatch + app->m_KeyLatch, 0);
  EXPECT_EQ(app->m_Mode, 1);
}

TEST(QuestBox, CompletingLevelNineOpensWorldOneWithTheLeftArrowOnly) {
  Game g;
  g.app->m_Quest[9] = 321;
  Ready(g);
  OpenQuestBox(g);
  c_MyApp* app = g.app;
  EXPECT_EQ(app->m_QuestTop, 10);
  EXPECT_EQ(app->m_QuestWorld, 1);
  EXPECT_EQ(app->m_QuestLevel, 0);
  EXPECT_EQ(app->m_QuestMaxWorld, 1);
  EXPECT_EQ(Title(g), "<Quest01");
  EXPECT_EQ(LockedRows(g), "-LLLLLLLLL");
  // World 0 holds the completed levels with their best scores.
  Press(g, kLeft);
  EXPECT_EQ(app->m_QuestWorld, 0);
  EXPECT_EQ(Title(g), "Quest00>") << "only the right arrow now";
  g.Update();
  EXPECT_EQ(LockedRows(g), "----------");
  EXPECT_TRUE(Has(Glyphs(g, 90), "00000321")) << Glyphs(g, 90);
  EXPECT_EQ(app->m_QuestLevel, 0);
}

TEST(QuestBox, CompletingLevelNineHundredAndNinetyNineOpensOnIt) {
  Game g;
  g.app->m_Quest[999] = 5;
  Ready(g);
  OpenQuestBox(g);
  EXPECT_EQ(g.app->m_QuestTop, 999);
  EXPECT_EQ(g.app->m_QuestWorld, 99);
  EXPECT_EQ(g.app->m_QuestLevel, 9);
  EXPECT_EQ(g.app->m_QuestMaxWorld, 99);
  EXPECT_EQ(Title(g), "<Quest99");
  EXPECT_EQ(LockedRows(g), "----------");
  Press(g, kEnter);
  EXPECT_EQ(g.app->m_Mode, 10);
  EXPECT_EQ(g.app->m_Level, 999);
  EXPECT_EQ(g.app->m_Lives, 2);
}

TEST(QuestBox, PathfinderRowsSayCompleteInsteadOfAScore) {
  Game g;
  g.app->m_Quest[9] = 1;  // opens the Pathfinder entries
  g.app->m_Quest[4000] = 70;
  g.app->m_Quest[4002] = 90;
  Ready(g);
  for (int i = 0; i < 4; ++i) Press(g, kDown);
  ASSERT_EQ(g.app->m_MenuSel, 5);
  OpenQuestBox(g);
  EXPECT_EQ(g.app->m_QuestSet, 4);
  EXPECT_EQ(g.app->m_QuestTop, 3);
  std::string text = Glyphs(g, 90);
  EXPECT_EQ(text.find("CompleteComplete"), text.rfind("Complete") - 8) << "rows 0 and 2: " << text;
  EXPECT_FALSE(Has(text, "00000070")) << text;
}

TEST(Badges, APopUpSlidesInStaysAndLeavesAfterTwoHundredAndFortyUpdates) {
  Game g;
  Ready(g);
  g.app->m_BadgeQueue[2] = 0;
  g.app->m_BadgeTime[2] = 1;
  g.app->m_BadgeQueue[13] = 0;
  g.app->m_BadgeTime[13] = 1;  // the last two slots are never shown
  auto stripX = [&g]() {
    auto strips = Rects(g, 160, 32);
    return strips.size() == 1 ? strips[0][1] : -999.0f;
  };
  g.Update();
  EXPECT_LT(stripX(), 0) << "sliding in";
  EXPECT_TRUE(Has(g.RecordedText(), "TestBadge"));
  g.Updates(9);
  EXPECT_EQ(stripX(), 0);
  g.Updates(229);
  EXPECT_EQ(g.app->m_BadgeTime[2], 240);
  g.Update();
  EXPECT_EQ(g.app->m_BadgeTime[2], 0);
  g.Update();
  EXPECT_EQ(stripX(), -999.0f);
  EXPECT_EQ(g.app->m_BadgeTime[13], 1);
}

TEST(CreditsBox, OpensFromTheMenuScrollsAndKeepsItsPlaceWhenReopened) {
  Game g;
  Ready(g);
  c_MyApp* app = g.app;
  Press(g, kN);
  EXPECT_EQ(app->m_ShowCredits, 1);
  g.Updates(40);
  EXPECT_EQ(app->m_CreditsSlide, 30);
  EXPECT_TRUE(Has(g.RecordedText(), "AGameby")) << g.RecordedText();
  EXPECT_TRUE(Has(g.RecordedText(), "640480")) << "the window figures in the top circles";

  const int line = app->m_CreditsLine;
  const float scroll = app->m_CreditsScroll;
  g.Updates(20);
  float moved = (scroll - app->m_CreditsScroll) + 16 * static_cast<float>(app->m_CreditsLine - line);
  EXPECT_NEAR(moved, 20 * 0.3f, 0.01f);
  g.KeyDown(kDown);
  g.Updates(20);
  g.KeyUp(kDown);
  moved = (scroll - app->m_CreditsScroll) + 16 * static_cast<float>(app->m_CreditsLine - line);
  EXPECT_NEAR(moved, 20 * 0.3f + 20 * 1.8f, 0.05f) << "a held key speeds the scroll";

  g.Update();
  Press(g, kN);
  EXPECT_EQ(app->m_ShowCredits, 0);
  g.Updates(40);
  EXPECT_EQ(app->m_CreditsSlide, 0);
  const int kept = app->m_CreditsLine;
  EXPECT_GT(kept, 0);
  Tap(g, 600, 30);  // the studio logo
  EXPECT_EQ(app->m_ShowCredits, 1);
  EXPECT_GE(app->m_CreditsLine, kept);
  g.Updates(5);
  Tap(g, 300, 300);
  EXPECT_EQ(app->m_ShowCredits, 0) << "any touch closes the box";
}

TEST(CreditsBox, ANarrowWindowDrawsItsGridWithoutInvalidColours) {
  Game g;
  g.window.width = 100;
  Ready(g);
  ASSERT_LT(bb_GW_jscrw, 130.0f);
  g.app->m_ShowCredits = 1;
  for (int i = 0; i < 35; ++i) {
    g.Update();
    for (int k = 0; k < g.Entries(); ++k) {
      const float* e = g.Entry(k);
      for (int c = 10; c <= 12; ++c) ASSERT_TRUE(e[c] >= 0 && e[c] <= 255) << "entry " << k << " colour " << e[c];
      for (int c = 1; c <= 5; ++c) ASSERT_TRUE(std::isfinite(e[c])) << "entry " << k;
    }
  }
  g.Render();
}

}  // namespace
