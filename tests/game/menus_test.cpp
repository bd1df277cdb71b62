// The title menu, options box, pause menu, game over, quest box, badges and credits, driven update
// by update with keys and taps.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "harness.h"
#include "runtime/audio/device.h"

namespace gametest {
extern bool gQuitExpected;
}  // namespace gametest

namespace {

using namespace gametest;

TEST(TitleMenu, QuestProgressUnlocksTheEntriesGroupByGroup) {
  const std::pair<std::vector<int>, int> cases[] = {{{}, 1},     {{4}, 4},    {{9}, 5},     {{4, 9}, 5}, {{4020}, 8},
                                                    {{49}, 9},   {{99}, 12},  {{8004}, 12}, {{5, 10}, 1}};
  for (const auto& c : cases) {
    Game g;
    for (int n : c.first) g.app->m_Quest[n] = 10;
    g.Ready();
    for (int i = 0; i < 14; ++i) g.Press(kDown);
    g.Updates(60);
    // Down as far as it goes stops at the last unlocked entry; the next row says how to open more.
    EXPECT_EQ(V(g.app->p_MenuUnlocked(), g.app->m_MenuSel, g.app->m_GameType, g.app->m_Mode), V(c.second, c.second, c.second, 1));
    EXPECT_EQ(Has(g.Text(90), "PlaymoreQuestModetounlock"), c.second < 12) << c.second;
  }
}

TEST(TitleMenu, OneKeyPressMovesOnceHoweverLongItIsHeldAndADragScrollsWithoutSelecting) {
  Game g;
  g.app->m_Quest[8004] = 1;
  g.Ready();
  g.KeyDown(kDown);
  g.Updates(20);
  EXPECT_EQ(V(g.app->m_MenuSel, g.app->m_MenuTarget), V(2, -42));
  g.KeyUp(kDown);
  g.Update();
  g.Press(kDown);
  g.Press(kRight);
  EXPECT_EQ(g.app->m_MenuSel, 4);
  g.KeyDown(kUp);  // two keys held together still act once
  g.KeyDown(kLeft);
  g.Updates(5);
  g.KeyUp(kUp);
  g.Updates(5);
  EXPECT_EQ(g.app->m_MenuSel, 3);
  g.KeyUp(kLeft);
  g.Update();
  g.Press(kUp);
  g.Press(kUp);
  EXPECT_EQ(g.app->m_MenuSel, 1);
  g.Updates(30);
  // A press between entry 1's bar (y 282) and entry 2's (324), then a drag of more than two units.
  g.MouseDown(150, 303);
  g.Update();
  EXPECT_EQ(g.app->m_PointerLatch, 0);
  g.MouseMove(150, 305);
  g.Update();
  EXPECT_EQ(g.app->m_PointerLatch, 2);
  const float before = g.app->m_MenuTarget;
  for (float y = 315; y <= 400; y += 10) {
    g.MouseMove(150, y);
    g.Update();
    EXPECT_EQ(g.app->m_MenuSel, 1) << "dragging over a bar at " << y;
  }
  EXPECT_GT(g.app->m_MenuTarget, before + 50) << "the list follows the drag";
  g.MouseUp();
  g.Update();
  EXPECT_EQ(V(g.app->m_MenuSel, g.app->m_Mode, g.app->m_PointerLatch), V(1, 1, 0));
}

TEST(TitleMenu, TheScorePanelsShowTheTopAndLastListsOfAPathType) {
  Game g;
  g.app->m_Quest[4] = 1;
  for (int i = 0; i < 10; ++i) {
    g.app->m_Scores[10 + i] = 1000 - i;  // type 2's top ten
    g.app->m_Scores[250 + i] = 500 + i;  // type 2's last ten
  }
  g.Ready();
  g.Press(kDown);
  EXPECT_TRUE(Has(g.Text(90), "Top101000999998997996995994993992991")) << g.Text(90);
  EXPECT_TRUE(Has(g.Text(90), "Last10500501502503504505506507508509")) << g.Text(90);
  g.window.height = 200;  // a short window keeps fewer rows, and at least one
  g.Render();
  g.FinishLoading();
  g.Render();
  g.Update();
  EXPECT_TRUE(Has(g.Text(90), "Highscore1000") && Has(g.Text(90), "Last500")) << g.Text(90);
}

TEST(TitleMenu, TheBackKeyOnTheEntryListQuitsAfterWritingARunningSave) {
  Game g;
  g.Ready();
  g.app->m_Scores[0] = 31337;
  g.app->p_Save();
  EXPECT_EXIT((gQuitExpected = true, g.KeyDown(kEscape), g.Update()), testing::ExitedWithCode(0), "");
  EXPECT_TRUE(Has(StateFile(), "|31337|"));
}

TEST(OptionsBox, IgnoresInputWhileItSlidesAndSavesWhenClosed) {
  Game g;
  g.app->m_Quest[8004] = 1;
  g.Ready();
  g.app->m_ShowOptions = 1;
  g.Updates(5);
  g.Press(kDown);
  EXPECT_EQ(g.app->m_OptCursor, 0) << "nothing acts while the box slides";
  g.Updates(25);
  EXPECT_EQ(g.app->m_OptionsSlide, 30);
  for (int i = 0; i < 3; ++i) g.Press(kDown);
  EXPECT_EQ(V(g.app->m_OptCursor, g.app->m_MenuSel), V(3, 1)) << "the menu beneath ignores the keys";
  for (int i = 0; i < 4; ++i) g.Press(kUp);
  EXPECT_EQ(g.app->m_OptCursor, 0);
  g.Tap(320, 180);  // touchscreen mode, the second line, by a touch on its bar
  EXPECT_EQ(V(g.app->m_OptCursor, g.app->m_Settings[15]), V(2, 1));
  g.Tap(320, 180);
  EXPECT_EQ(g.app->m_Settings[15], 0);
  g.app->m_Settings[15] = 1;
  g.Press(kUp);
  g.Press(kUp);
  ASSERT_EQ(g.app->m_SaveCursor, -1);
  g.Press(kEnter);
  EXPECT_EQ(g.app->m_ShowOptions, 0);
  EXPECT_GE(g.app->m_SaveCursor, 0) << "closing starts a save";
  g.Updates(100);
  EXPECT_EQ(V(g.app->m_OptionsSlide, g.app->m_Mode), V(0, 1)) << "the Enter that closed the box starts no game";
  std::vector<std::string> fields = Fields(StateFile());
  ASSERT_GT(fields.size(), 16u);
  EXPECT_EQ(fields[15], "1");
}

TEST(OptionsBox, SoundFromSfxAndMusicToSfxStopsTheMusicAtOnce) {
  Game g;
  g.Ready();
  g.app->p_PlayTune(String("tune01"), 1);
  g.Update();
  ASSERT_EQ(V(g.app->m_TunePlaying, bb_audio_device->MusicState()), V(1, 1));
  g.app->m_ShowOptions = 1;
  g.Updates(31);
  g.Press(kDown);
  EXPECT_TRUE(Has(g.Text(90), "Sound:SFX+Music"));
  g.Press(kEnter);
  EXPECT_EQ(V(g.app->m_Settings[5], g.app->m_TunePlaying, bb_audio_device->MusicState()), V(2, 0, 0));
  EXPECT_TRUE(Has(g.Text(90), "Sound:SFX")) << g.Text(90);
  g.Press(kEnter);
  g.Press(kEnter);
  EXPECT_EQ(g.app->m_Settings[5], 0);
  g.Press(kEnter);
  EXPECT_EQ(g.app->m_Settings[5], 1);
  g.app->m_Settings[5] = 9;
  g.Update();
  EXPECT_EQ(g.app->m_Settings[5], 0) << "a value out of range reads as off";
}

TEST(GameOver, TheCounterRunsToNinetyThenTheScoreIsRankedRecordedAndTheDisplayFades) {
  Game g;
  g.Ready();
  c_MyApp* app = g.app;
  app->m_Mode = 10;
  app->m_GameType = 3;
  app->m_GameOver = 1;
  for (int i = 0; i < 10; ++i) app->m_Scores[20 + i] = 5000 - 500 * i;
  const std::pair<int, const char*> ranks[] = {{5000, "1st!"}, {4200, "3rd"}, {500, "10th"}, {499, ""}};
  for (const auto& r : ranks) {
    app->m_Score = r.first;
    EXPECT_EQ(app->p_MyNth(), String(r.second)) << r.first;
  }
  app->m_Score = 4200;
  for (int i = 1; i < 90; ++i) {
    app->p_CLS2D(-3717, 0, 0, 0);
    app->p_GameOver();
    ASSERT_EQ(V(app->m_GameOverStep, app->m_Mode), V(i, 10));
  }
  EXPECT_TRUE(Has(g.Text(90), "GAMEOVER") && Has(g.Text(90), "NewHighscore3rd")) << g.Text(90);
  app->p_GameOver();
  EXPECT_EQ(V(app->m_Mode, app->m_GameOverStep, app->m_Scores[22]), V(2, 73, 4000)) << "recorded in the next update";
  g.Update();
  EXPECT_EQ(V(app->m_Mode, app->m_GameOverStep, app->m_Scores[21], app->m_Scores[22], app->m_Scores[23],
              app->m_Scores[29], app->m_Scores[260]),
            V(1, 71, 4500, 4200, 4000, 1000, 4200));
  EXPECT_EQ(app->p_MyNth(), String("3rd")) << "the recorded score finds its own place";
  EXPECT_GE(app->m_SaveCursor, 0);
  g.Updates(35);
  EXPECT_EQ(app->m_GameOverStep, 1);
  g.Update();
  EXPECT_EQ(app->m_GameOverStep, 0);
}

TEST(PauseMenu, PauseResumeQuitAndTheScoreInTheLastList) {
  Game g;
  g.app->m_Quest[4] = 1;
  g.Ready();
  g.Press(kDown);
  g.Press(kEnter);
  ASSERT_EQ(g.app->m_Mode, 10);
  g.app->m_Score = 2345;
  g.Press(kEscape);
  EXPECT_EQ(V(g.app->m_Paused, g.app->m_PauseDir), V(1, 1));
  g.Updates(15);
  EXPECT_EQ(V(g.app->m_PauseY >= 240, g.app->m_PauseCursor), V(1, 0));
  g.Press(kEscape);  // the back key resumes; play continues once the panel has left
  EXPECT_EQ(g.app->m_PauseDir, -1);
  g.Updates(20);
  EXPECT_EQ(g.app->m_Paused, 0);
  g.Press(kEscape);
  g.Updates(15);
  g.Press(kRight);
  EXPECT_EQ(g.app->m_PauseCursor, 1);
  g.Press(kLeft);
  g.Press(kLeft);
  EXPECT_EQ(g.app->m_PauseCursor, -1);
  g.Press(kEnter);
  EXPECT_EQ(V(g.app->m_GameOver, g.app->m_Paused, g.app->m_PauseY, g.app->m_Mode), V(1, 0, -64, 10));
  g.Updates(90);
  EXPECT_EQ(V(g.app->m_Mode, g.app->m_Scores[250], g.app->m_Scores[10]), V(1, 2345, 2345));
  g.Updates(40);
  EXPECT_TRUE(Has(g.Text(90), "2345")) << g.Text(90);
}

// The quest box of the selected entry, opened, with the menu slid out of the way: the title
// (quest, world number and arrows, the last text in the large font) and the ten rows, each 'L'
// when drawn red (locked), '-' when open.
std::string OpenQuestBox(Game& g) {
  g.Press(kEnter);
  EXPECT_EQ(g.app->m_MenuPhase, 1);
  g.Updates(40);
  std::string text = g.Text(89), rows;
  size_t at = text.rfind("Quest");
  at -= at != std::string::npos && at > 0 && text[at - 1] == '<';
  for (const float* e : g.Drawn(c_MyApp::kRectMarker, {{4, 320}, {5, 64}})) rows += e[10] == 160 && e[12] == 0 ? 'L' : e[12] == 160 ? '-' : '?';
  return (at == std::string::npos ? "" : text.substr(at)) + " " + rows;
}

TEST(QuestBox, ItOpensOnTheLastLevelPlayableAndLocksTheRest) {
  Game g;
  g.Ready();
  EXPECT_EQ(OpenQuestBox(g), "Quest00 -LLLLLLLLL") << "no progress: level 0, no arrows";
  EXPECT_EQ(V(g.app->m_QuestSet, g.app->m_QuestTop, g.app->m_QuestWorld, g.app->m_QuestLevel), V(0, 0, 0, 0));
  EXPECT_TRUE(Has(g.Text(89), "000001002")) << g.Text(89);
  g.Press(kDown);
  g.Press(kRight);
  EXPECT_EQ(V(g.app->m_QuestLevel, g.app->m_QuestWorld, g.app->m_Mode), V(0, 0, 1)) << "no key reaches a locked level";

  Game h;
  h.app->m_Quest[9] = 321;
  h.Ready();
  EXPECT_EQ(OpenQuestBox(h), "<Quest01 -LLLLLLLLL") << "level 9 complete: world 1, the left arrow only";
  EXPECT_EQ(V(h.app->m_QuestTop, h.app->m_QuestWorld, h.app->m_QuestLevel, h.app->m_QuestMaxWorld), V(10, 1, 0, 1));
  h.Press(kLeft);
  h.Update();
  EXPECT_EQ(V(h.app->m_QuestWorld, h.app->m_QuestLevel), V(0, 0));
  EXPECT_TRUE(Has(h.Text(89), "Quest00>")) << "world 0 holds the completed levels, with the right arrow";
  EXPECT_TRUE(Has(h.Text(90), "00000321")) << h.Text(90);
  EXPECT_EQ(h.Drawn(c_MyApp::kRectMarker, {{4, 320}, {5, 64}, {12, 160}}).size(), 10u);

  Game k;
  k.app->m_Quest[999] = 5;
  k.Ready();
  EXPECT_EQ(OpenQuestBox(k), "<Quest99 ----------");
  EXPECT_EQ(V(k.app->m_QuestTop, k.app->m_QuestWorld, k.app->m_QuestLevel, k.app->m_QuestMaxWorld), V(999, 99, 9, 99));
  k.Press(kEnter);
  EXPECT_EQ(V(k.app->m_Mode, k.app->m_Level, k.app->m_Lives), V(10, 999, 2));
}

TEST(QuestBox, PathfinderRowsSayCompleteInsteadOfAScore) {
  Game g;
  g.app->m_Quest[9] = 1;  // opens the Pathfinder entries
  g.app->m_Quest[4000] = 70;
  g.app->m_Quest[4002] = 90;
  g.Ready();
  for (int i = 0; i < 4; ++i) g.Press(kDown);
  ASSERT_EQ(g.app->m_MenuSel, 5);
  OpenQuestBox(g);
  EXPECT_EQ(V(g.app->m_QuestSet, g.app->m_QuestTop), V(4, 3));
  std::string text = g.Text(90);
  EXPECT_EQ(text.find("CompleteComplete"), text.rfind("Complete") - 8) << "rows 0 and 2: " << text;
  EXPECT_FALSE(Has(text, "00000070")) << text;
}

TEST(Badges, APopUpSlidesInStaysAndLeavesAfterTwoHundredAndFortyUpdates) {
  Game g;
  g.Ready();
  g.app->m_BadgeQueue[2] = g.app->m_BadgeQueue[13] = 0;
  g.app->m_BadgeTime[2] = g.app->m_BadgeTime[13] = 1;  // the last two slots are never shown
  auto stripX = [&g] {
    auto strips = g.Drawn(c_MyApp::kRectMarker, {{4, 160}, {5, 32}});
    return strips.size() == 1 ? strips[0][1] : -999.0f;
  };
  g.Update();
  EXPECT_LT(stripX(), 0) << "sliding in";
  EXPECT_TRUE(Has(g.Text(), "TestBadge"));
  g.Updates(9);
  EXPECT_EQ(stripX(), 0);
  g.Updates(229);
  EXPECT_EQ(g.app->m_BadgeTime[2], 240);
  g.Update();
  EXPECT_EQ(g.app->m_BadgeTime[2], 0);
  g.Update();
  EXPECT_EQ(V(stripX(), g.app->m_BadgeTime[13]), V(-999, 1));
}

TEST(CreditsBox, OpensFromTheMenuScrollsAndKeepsItsPlaceWhenReopened) {
  Game g;
  g.Ready();
  c_MyApp* app = g.app;
  g.Press(kN);
  g.Updates(40);
  EXPECT_EQ(V(app->m_ShowCredits, app->m_CreditsSlide), V(1, 30));
  EXPECT_TRUE(Has(g.Text(), "AGameby")) << g.Text();
  EXPECT_TRUE(Has(g.Text(), "640480")) << "the window figures in the top circles";
  const int line = app->m_CreditsLine;
  const float scroll = app->m_CreditsScroll;
  auto moved = [&] { return (scroll - app->m_CreditsScroll) + 16 * static_cast<float>(app->m_CreditsLine - line); };
  g.Updates(20);
  EXPECT_NEAR(moved(), 20 * 0.3f, 0.01f);
  g.KeyDown(kDown);
  g.Updates(20);
  g.KeyUp(kDown);
  EXPECT_NEAR(moved(), 20 * 0.3f + 20 * 1.8f, 0.05f) << "a held key speeds the scroll";
  g.Update();
  g.Press(kN);
  g.Updates(40);
  EXPECT_EQ(V(app->m_ShowCredits, app->m_CreditsSlide), V(0, 0));
  const int kept = app->m_CreditsLine;
  EXPECT_GT(kept, 0);
  g.Tap(600, 30);  // the studio logo
  EXPECT_EQ(V(app->m_ShowCredits, app->m_CreditsLine >= kept), V(1, 1));
  g.Updates(5);
  g.Tap(300, 300);
  EXPECT_EQ(app->m_ShowCredits, 0) << "any touch closes the box";
}

TEST(CreditsBox, ANarrowWindowDrawsItsGridWithoutInvalidColours) {
  Game g;
  g.window.width = 100;
  g.Ready();
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
}

}  // namespace
