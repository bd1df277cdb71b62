// The title menu, options box, pause menu and game over, driven update by update.
#include <gtest/gtest.h>

#include <string>

#include "menu_steps.h"
#include "runtime/audio/device.h"

namespace {

using gametest::Game;
using menutest::Glyphs;
using menutest::Press;
using menutest::Ready;
using menutest::Has;
using menutest::Tap;
using namespace menutest::keys;

TEST(TitleMenu, QuestProgressUnlocksTheEntriesGroupByGroup) {
  struct Case {
    std::vector<int> completed;  // m_Quest entries above 0
    int unlocked;
  };
  const Case cases[] = {{{}, 1},     {{4}, 4},      {{9}, 5},      {{4, 9}, 5},  {{4020}, 8},
                        {{49}, 9},     {{99}, 12},    {{8004}, 12},  {{5, 10}, 1}};
  for (const Case& c : cases) {
    Game g;
    for (int n : c.completed) g.app->m_Quest[n] = 10;
    Ready(g);
    EXPECT_EQ(g.app->p_MenuUnlocked(), c.unlocked);
    // Down as far as it goes stops at the last unlocked entry.
    for (int i = 0; i < 14; ++i) Press(g, kDown);
    EXPECT_EQ(g.app->m_MenuSel, c.unlocked);
    // The row after the last unlocked entry says how to unlock more.
    g.Updates(60);
    EXPECT_EQ(Has(Glyphs(g, 90), "PlaymoreQuestModetounlock"), c.unlocked < 12) << c.unlocked;
    EXPECT_EQ(g.app->m_GameType, c.unlocked);
    EXPECT_EQ(g.app->m_Mode, 1);
  }
}

TEST(TitleMenu, OneKeyPressMovesOnceHoweverLongItIsHeld) {
  Game g;
  g.app->m_Quest[8004] = 1;
  Ready(g);
  g.KeyDown(kDown);
  g.Updates(20);
  EXPECT_EQ(g.app->m_MenuSel, 2);
  EXPECT_EQ(g.app->m_MenuTarget, -42.0f);
  g.KeyUp(kDown);
  g.Update();
  Press(g, kDown);
  Press(g, kRight);
  EXPECT_EQ(g.app->m_MenuSel, 4);
  // Two keys held together still act once.
  g.KeyDown(kUp);
  g.KeyDown(kLeft);
  g.Updates(5);
  g.KeyUp(kUp);
  g.Updates(5);
  EXPECT_EQ(g.app->m_MenuSel, 3);
  g.KeyUp(kLeft);
  g.Update();
  Press(g, kUp);
  EXPECT_EQ(g.app->m_MenuSel, 2);
}

TEST(TitleMenu, ADragOfMoreThanTwoUnitsScrollsTheListAndSelectsNothing) {
  Game g;
  g.app->m_Quest[8004] = 1;
  Ready(g);
  // Entry 1's bar is at y 282 and entry 2's at 324; 303 lies between them.
  g.MouseMove(150, 303);
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
  EXPECT_EQ(g.app->m_MenuSel, 1);
  EXPECT_EQ(g.app->m_Mode, 1);
  EXPECT_EQ(g.app->m_PointerLatch, 0);

}

TEST(TitleMenu, TheScorePanelsShowTheTopAndLastListsOfAPathType) {
  Game g;
  g.app->m_Quest[4] = 1;
  for (int i = 0; i < 10; ++i) {
    g.app->m_Scores[10 + i] = 1000 - i;     // type 2's top ten
    g.app->m_Scores[250 + i] = 500 + i;     // type 2's last ten
  }
  Ready(g);
  Press(g, kDown);
  std::string text = Glyphs(g, 90);
  EXPECT_TRUE(Has(text, "Top101000999998997996995994993992991")) << text;
  EXPECT_TRUE(Has(text, "Last10500501502503504505506507508509")) << text;

  // A short window keeps fewer rows, and at least one.
  g.window.height = 200;
  g.Render();
  g.FinishLoading();
  g.Render();
  g.Update();
  text = Glyphs(g, 90);
  EXPECT_TRUE(Has(text, "Highscore1000")) << text;
  EXPECT_TRUE(Has(text, "Last500")) << text;
}

TEST(TitleMenu, TheBackKeyOnTheEntryListQuitsAfterWritingARunningSave) {
  Game g;
  Ready(g);
  g.app->m_Scores[0] = 31337;
  g.app->p_Save();
  EXPECT_EXIT((menutest::gQuitExpected = true, g.KeyDown(kEscape), g.Update()), testing::ExitedWithCode(0), "");
  EXPECT_TRUE(Has(menutest::StateFile(), "|31337|"));
}

// Opens the options box over the menu and waits until it has slid in.
void OpenOptions(Game& g) {
  g.app->m_ShowOptions = 1;
  g.Updates(31);
  ASSERT_EQ(g.app->m_OptionsSlide, 30);
}

TEST(OptionsBox, IgnoresInputWhileItSlidesAndSavesWhenClosed) {
  Game g;
  g.app->m_Quest[8004] = 1;
  Ready(g);
  g.app->m_ShowOptions = 1;
  g.Updates(5);
  Press(g, kDown);
  EXPECT_EQ(g.app->m_OptCursor, 0) << "nothing acts while the box slides";
  g.Updates(25);
  EXPECT_EQ(g.app->m_OptionsSlide, 30);
  Press(g, kDown);
  EXPECT_EQ(g.app->m_OptCursor, 1);
  Press(g, kDown);
  Press(g, kDown);
  EXPECT_EQ(g.app->m_OptCursor, 3);
  EXPECT_EQ(g.app->m_MenuSel, 1) << "the menu beneath ignores the keys";
  Press(g, kUp);
  Press(g, kUp);
  Press(g, kUp);
  Press(g, kUp);
  EXPECT_EQ(g.app->m_OptCursor, 0);

  // Touchscreen mode through its line (the second), by a touch on its bar.
  Tap(g, 320, 180);
  EXPECT_EQ(g.app->m_OptCursor, 2);
  EXPECT_EQ(g.app->m_Settings[15], 1);
  Tap(g, 320, 180);
  EXPECT_EQ(g.app->m_Settings[15], 0);
  g.app->m_Settings[15] = 1;

  Press(g, kUp);
  Press(g, kUp);
  ASSERT_EQ(g.app->m_SaveCursor, -1);
  Press(g, kEnter);
  EXPECT_EQ(g.app->m_ShowOptions, 0);
  EXPECT_GE(g.app->m_SaveCursor, 0) << "closing starts a save";
  EXPECT_EQ(g.app->m_Mode, 1) << "the Enter that closed the box does not start a game";
  g.Updates(100);
  EXPECT_EQ(g.app->m_OptionsSlide, 0);
  std::vector<std::string> fields = menutest::Fields(menutest::StateFile());
  ASSERT_GT(fields.size(), 16u);
  EXPECT_EQ(fields[15], "1");
  EXPECT_EQ(g.app->m_Mode, 1);
}

TEST(OptionsBox, SoundFromSfxAndMusicToSfxStopsTheMusicAtOnce) {
  Game g;
  Ready(g);
  bb_GW_HasMusic = 0;  // the recorded tunes, in the procedural-music build too
  bb_GW_HasMusicStream = 1;
  g.app->p_PlayTune(String("tune01"), 1);
  g.Update();
  ASSERT_EQ(g.app->m_TunePlaying, 1);
  ASSERT_EQ(bb_audio_device->MusicState(), 1);
  OpenOptions(g);
  Press(g, kDown);
  EXPECT_TRUE(Has(Glyphs(g, 90), "Sound:SFX+Music"));
  Press(g, kEnter);
  EXPECT_EQ(g.app->m_Settings[5], 2);
  EXPECT_EQ(g.app->m_TunePlaying, 0);
  EXPECT_EQ(bb_audio_device->MusicState(), 0);
  EXPECT_TRUE(Has(Glyphs(g, 90), "Sound:SFX")) << Glyphs(g, 90);
  Press(g, kEnter);
  Press(g, kEnter);
  EXPECT_EQ(g.app->m_Settings[5], 0);
  Press(g, kEnter);
  EXPECT_EQ(g.app->m_Settings[5], 1);
  // A value out of range reads as off.
  g.app->m_Settings[5] = 9;
  g.Update();
  EXPECT_EQ(g.app->m_Settings[5], 0);
}

TEST(GameOver, MyNthRanksTheScoreInItsTypesTopTen) {
  Game g;
  g.app->m_GameType = 4;
  for (int i = 0; i < 10; ++i) g.app->m_Scores[30 + i] = 900 - 100 * i;  // 900 .. 0
  const struct {
    int score;
    const char* nth;
    int rank;
  } cases[] = {{950, "1st!", 1}, {900, "1st!", 1}, {750, "3rd", 3}, {300, "7th", 7}, {0, "10th", 10}, {-5, "", 0}};
  for (const auto& c : cases) {
    g.app->m_Score = c.score;
    EXPECT_EQ(g.app->p_MyNth(), String(c.nth)) << c.score;
    EXPECT_EQ(g.app->m_I, c.rank) << c.score;
  }
  // After the score is recorded it finds its own place.
  g.app->m_Score = 750;
  g.app->p_LoadMenu();
  EXPECT_EQ(g.app->p_MyNth(), String("3rd"));
  EXPECT_EQ(g.app->m_Scores[32], 750);
}

TEST(GameOver, TheCounterRunsToNinetyThenTheScoreIsRecordedAndTheDisplayFades) {
  Game g;
  Ready(g);
  c_MyApp* app = g.app;
  app->m_Mode = 10;
  app->m_GameType = 3;
  app->m_GameOver = 1;
  app->m_Score = 4200;
  app->m_Scores[20] = 5000;
  app->m_Scores[21] = 3000;
  for (int i = 1; i < 90; ++i) {
    app->p_CLS2D(-3717, 0, 0, 0);
    app->p_GameOver();
    ASSERT_EQ(app->m_GameOverStep, i);
    ASSERT_EQ(app->m_Mode, 10);
  }
  std::string text = Glyphs(g, 90);
  EXPECT_TRUE(Has(text, "GAMEOVER")) << text;
  EXPECT_TRUE(Has(text, "NewHighscore2nd")) << text;
  app->p_GameOver();
  EXPECT_EQ(app->m_Mode, 2);
  EXPECT_EQ(app->m_GameOverStep, 73);
  EXPECT_EQ(app->m_Scores[21], 3000) << "recorded in the next update";

  g.Update();
  EXPECT_EQ(app->m_Mode, 1);
  EXPECT_EQ(app->m_GameOverStep, 71);
  EXPECT_EQ(app->m_Scores[20], 5000);
  EXPECT_EQ(app->m_Scores[21], 4200);
  EXPECT_EQ(app->m_Scores[22], 3000);
  EXPECT_EQ(app->m_Scores[260], 4200);
  EXPECT_GE(app->m_SaveCursor, 0);
  g.Updates(35);
  EXPECT_EQ(app->m_GameOverStep, 1);
  g.Update();
  EXPECT_EQ(app->m_GameOverStep, 0);
}

TEST(PauseMenu, PauseResumeQuitAndTheScoreInTheLastList) {
  Game g;
  g.app->m_Quest[4] = 1;
  Ready(g);
  Press(g, kDown);
  Press(g, kEnter);
  ASSERT_EQ(g.app->m_Mode, 10);
  g.app->m_Score = 2345;

  Press(g, kEscape);
  EXPECT_EQ(g.app->m_Paused, 1);
  EXPECT_EQ(g.app->m_PauseDir, 1);
  g.Updates(15);
  EXPECT_GE(g.app->m_PauseY, 240);
  EXPECT_EQ(g.app->m_PauseCursor, 0);
  // The back key resumes; play continues once the panel has left.
  Press(g, kEscape);
  EXPECT_EQ(g.app->m_PauseDir, -1);
  g.Updates(20);
  EXPECT_EQ(g.app->m_Paused, 0);

  Press(g, kEscape);
  g.Updates(15);
  Press(g, kRight);
  EXPECT_EQ(g.app->m_PauseCursor, 1);
  Press(g, kLeft);
  Press(g, kLeft);
  EXPECT_EQ(g.app->m_PauseCursor, -1);
  Press(g, kEnter);
  EXPECT_EQ(g.app->m_GameOver, 1);
  EXPECT_EQ(g.app->m_Paused, 0);
  EXPECT_EQ(g.app->m_PauseY, -64);
  EXPECT_EQ(g.app->m_Mode, 10);

  g.Updates(90);
  EXPECT_EQ(g.app->m_Mode, 1);
  EXPECT_EQ(g.app->m_Scores[250], 2345);
  EXPECT_EQ(g.app->m_Scores[10], 2345);
  g.Updates(40);
  EXPECT_TRUE(Has(Glyphs(g, 90), "2345")) << Glyphs(g, 90);
}

}  // namespace
