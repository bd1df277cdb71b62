// The game object's creation, loader and screen flow, driven headless.
#include <gtest/gtest.h>

#include "game/music/demo_song.h"
#include "harness.h"

namespace {

using gametest::Game;

TEST(GameStart, CreationLoadsTheLogoAndFontAtOnceThenOneStepPerUpdate) {
  Game g;
  c_MyApp* app = g.app;
  EXPECT_EQ(app->m_Mode, 1);
  EXPECT_EQ(app->m_GameType, 2);
  EXPECT_EQ(app->m_LoadStep, 1);
  EXPECT_NE(app->m_Img[93], nullptr) << "the studio logo is there for the first loading screen";
  EXPECT_NE(app->m_Img[90], nullptr);

  g.Update();
  EXPECT_EQ(app->m_LoadStep, 2);
  EXPECT_NE(app->m_Img[97], nullptr);
  EXPECT_NE(app->m_Sfx[96], nullptr);
  g.FinishLoading();
  EXPECT_EQ(app->m_LoadStep, 0);
  // Every slot of the loader's table holds its image; a 640 x 480 window takes the "-hd" set.
  for (int slot : {1, 2, 3, 4, 5, 10, 80, 89, 90, 91, 93, 94, 95, 96, 97, 98, 99})
    EXPECT_NE(app->m_Img[slot], nullptr) << "slot " << slot;
  for (int n : {1, 2, 3, 10, 21, 95, 96, 98, 99}) EXPECT_NE(app->m_Sfx[n], nullptr) << "sound " << n;
  EXPECT_EQ(app->m_ImgInfo[3 * 1], 128) << "sizes are kept in loaded pixels";
}

// The graphics level chosen for a window size.
int LevelFor(int w, int h) {
  Game g;
  g.window.width = w;
  g.window.height = h;
  g.app->SetGraphicsLevel();
  return g.app->m_GfxLevel;
}

TEST(GameStart, ResolutionSetFollowsTheWindowSize) {
  EXPECT_EQ(LevelFor(630, 630), 1);
  EXPECT_EQ(LevelFor(631, 400), 2);
  EXPECT_EQ(LevelFor(400, 631), 2);
  EXPECT_EQ(LevelFor(1230, 1230), 2);
  EXPECT_EQ(LevelFor(1231, 700), 4);
}

TEST(GameStart, TheJinglePlaysOncePerRunEvenWhenTheLoaderRunsAgain) {
  Game g;
  g.FinishLoading();
  EXPECT_EQ(g.app->m_JinglePlayed, 1);
  int slot = g.app->m_SfxSlot;
  EXPECT_EQ(slot, 1) << "the jingle was the first effect";
  g.window.width = 800;
  g.window.height = 600;
  g.Render();
  EXPECT_EQ(g.app->m_LoadStep, 1);
  g.FinishLoading();
  EXPECT_EQ(g.app->m_SfxSlot, slot) << "no second jingle";
  EXPECT_EQ(g.app->m_GfxLevel, 2);
}

TEST(ScreenFlow, LoadingSuspendsTheScreensAndShowsTheSpinner) {
  Game g;
  g.Update();
  // The loading screen replaces the frame: its own background, the spinner and the logo.
  EXPECT_EQ(g.app->m_ClsR, 40);
  EXPECT_EQ(g.app->m_ClsB, 80);
  int ovals = 0, logos = 0;
  for (int k = 0; k < g.Entries(); ++k) {
    ovals += g.Entry(k)[0] == c_MyApp::kOvalMarker;
    logos += g.Entry(k)[0] == 93;
  }
  EXPECT_GT(ovals, 0);
  EXPECT_EQ(logos, 1);
}

TEST(ScreenFlow, FinishedGamesRankInTheTopTenAndAlwaysEnterTheLastTen) {
  Game g;
  c_MyApp* a = g.app;
  a->m_GameType = 3;
  int b = 20;
  for (int i = 0; i < 10; ++i) a->m_Scores[b + i] = 1000 - 100 * i;  // 1000, 900, ... 100
  a->m_Score = 600;  // equal to the fifth
  a->p_LoadMenu();
  EXPECT_EQ(a->m_ScoreBase, 20);
  EXPECT_EQ(a->m_Scores[b + 4], 600);
  EXPECT_EQ(a->m_Scores[b + 5], 600) << "an equal score goes below the listed one";
  EXPECT_EQ(a->m_Scores[b + 6], 500);
  EXPECT_EQ(a->m_Scores[b + 9], 200) << "the lowest falls off";
  EXPECT_EQ(a->m_Scores[b + 240], 600);
  a->m_Score = 0;
  a->p_LoadMenu();
  EXPECT_EQ(a->m_Scores[b + 9], 200) << "0 does not rank";
  EXPECT_EQ(a->m_Scores[b + 240], 0) << "but is the newest of the last ten";
  EXPECT_EQ(a->m_Scores[b + 241], 600);
}

TEST(ScreenFlow, GamesStartedByPointerGetTheOnScreenPad) {
  Game g;
  c_MyApp* a = g.app;
  a->m_GameType = 2;
  a->m_MouseDown = 0;
  a->p_LoadGame();
  EXPECT_EQ(bb_GW_OnScreenControls, 0);
  EXPECT_EQ(a->m_Mode, 10);
  EXPECT_EQ(a->m_Lives, 3);
  a->m_MouseDown = 1;
  a->m_GameType = 5;
  a->m_QuestWorld = 3;
  a->m_QuestLevel = 7;
  a->p_LoadGame();
  EXPECT_EQ(bb_GW_OnScreenControls, 1);
  EXPECT_EQ(a->m_Lives, 2) << "quest games have two lives";
  EXPECT_EQ(a->m_Level, 37);
}

TEST(ScreenFlow, SuspendingInAGameOpensThePauseMenuCentred) {
  Game g;
  c_MyApp* a = g.app;
  a->p_OnSuspend();
  EXPECT_EQ(a->m_Paused, 0) << "in the menu nothing pauses";
  EXPECT_EQ(bb_app__updateRate, 5);
  a->p_OnResume();
  EXPECT_EQ(bb_app__updateRate, 60);
  a->m_Mode = 10;
  a->m_VKey[3] = 2;
  a->p_OnSuspend();
  EXPECT_EQ(a->m_Paused, 1);
  EXPECT_EQ(a->m_PauseDir, 1);
  EXPECT_EQ(a->m_PauseY, 240);
  EXPECT_EQ(a->m_VKey[3], 0);
}

TEST(ScreenFlow, FunctionKeys) {
  Game g;
  c_MyApp* a = g.app;
  g.KeyDown(113);
  g.Update();
  EXPECT_EQ(a->m_HideHud, 1);
  g.Update();
  EXPECT_EQ(a->m_HideHud, 1) << "a held key acts once";
  g.KeyUp(113);
  g.KeyDown(112);
  g.Update();
  EXPECT_EQ(bb_GW_DebugMode, 1);
  g.KeyUp(112);
  g.FinishLoading();
  g.Update();
  EXPECT_NE(g.RecordedText().find(":"), std::string::npos) << "the debug line is drawn";
  bb_GW_DebugMode = 0;
  EXPECT_EXIT(
      {
        g.KeyDown(115);
        g.Update();
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(ScreenFlow, TheBackKeyClosesTheMenuBoxesButNotTheOptions) {
  Game g;
  c_MyApp* a = g.app;
  g.FinishLoading();
  a->m_ShowCredits = 1;
  a->m_ShowBadges = 1;
  g.KeyDown(27);
  g.Update();
  EXPECT_EQ(a->m_ShowCredits, 0);
  EXPECT_EQ(a->m_ShowBadges, 0);
  EXPECT_EQ(a->m_KeyLatch, 1);
  g.KeyUp(27);
  g.Update();
  EXPECT_EQ(a->m_KeyLatch, 0) << "released: the latch clears";
  a->m_ShowOptions = 1;
  g.Update();
  EXPECT_EQ(a->m_KeyLatch, 1) << "the open options box holds both latches";
  EXPECT_EQ(a->m_PointerLatch, 1);
  g.KeyDown(27);
  g.Update();
  EXPECT_EQ(a->m_ShowOptions, 1);
}

TEST(ScreenFlow, UpdateRateMeterKeepsItsValueOnARepeatedTimeStamp) {
  Game g;
  c_MyApp* a = g.app;
  g.Updates(2);
  int fps = a->m_UpdFps;
  EXPECT_GE(fps, 58);
  EXPECT_LE(fps, 62);
  g.window.now -= 1.0 / 60.0;  // the next update sees the same time stamp
  g.Update();
  EXPECT_EQ(a->m_UpdFps, fps);
}

TEST(ProceduralMusic, TheGameDrivesThePlayerWhenItIsInUse) {
  gametest::Game g;
  c_MyApp* a = g.app;
  EXPECT_EQ(bb_GW_HasMusic, BBKxDemoSong::kHasMusic);
  bb_GW_HasMusic = 1;
  a->p_MusicCreate();
  EXPECT_EQ(a->m_Music->m_state, c_KxPlayer::kPlaying);
  EXPECT_EQ(a->m_Music->m_loadStep, 1) << "the song loads over the next rendered frames";
  g.Render();
  EXPECT_EQ(a->m_Music->m_loadStep, 4) << "three loading steps at the start of each render";
  g.Update();  // the update hook runs too, while the song is still loading
  bb_GW_HasMusic = 0;
}

}  // namespace
