// The game object's creation, loader and screen flow; the display list, bitmap text and the render
// pass's scaling and replay.
#include <gtest/gtest.h>

#include "game/music/demo_song.h"
#include "harness.h"

namespace {

using gametest::Game;
using gametest::V;

TEST(GameStart, TheLogoAndFontLoadAtOnceThenOneStepPerUpdateBehindTheLoadingScreen) {
  Game g;
  c_MyApp* app = g.app;
  EXPECT_EQ(V(app->m_Mode, app->m_LoadStep), V(1, 1));
  EXPECT_TRUE(app->m_Img[93] && app->m_Img[90]) << "the studio logo and the font, for the loading screen";
  g.Update();
  EXPECT_EQ(app->m_LoadStep, 2);
  EXPECT_TRUE(app->m_Img[97] && app->m_Sfx[96]);
  // The loading screen replaces the frame: its own background, the spinner and the logo.
  EXPECT_EQ(V(app->m_ClsR, app->m_ClsB), V(40, 80));
  EXPECT_GT(g.Drawn(c_MyApp::kOvalMarker).size(), 0u);
  EXPECT_EQ(g.Drawn(93).size(), 1u);
  g.FinishLoading();
  EXPECT_EQ(app->m_LoadStep, 0);
  for (int slot : {1, 2, 3, 4, 5, 10, 80, 89, 90, 91, 93, 94, 95, 96, 97, 98, 99}) EXPECT_TRUE(app->m_Img[slot]) << slot;
  for (int n : {1, 2, 3, 10, 21, 95, 96, 98, 99}) EXPECT_TRUE(app->m_Sfx[n]) << "sound " << n;
  EXPECT_EQ(app->m_ImgInfo[3 * 1], 128) << "a 640 x 480 window takes the -hd set; sizes in loaded pixels";
  EXPECT_EQ(app->m_SfxSlot, 1) << "the jingle was the first effect";
  g.window.width = 800;
  g.window.height = 600;
  g.Render();
  EXPECT_EQ(app->m_LoadStep, 1) << "a resize runs the loader again";
  g.FinishLoading();
  EXPECT_EQ(app->m_SfxSlot, 1) << "but plays no second jingle";
  const int sizes[][3] = {{630, 630, 1}, {631, 400, 2}, {400, 631, 2}, {1230, 1230, 2}, {1231, 700, 4}};
  for (const auto& s : sizes) {
    g.window.width = s[0];
    g.window.height = s[1];
    app->SetGraphicsLevel();
    EXPECT_EQ(app->m_GfxLevel, s[2]) << "resolution set for " << s[0] << " x " << s[1];
  }
}

TEST(ScreenFlow, FinishedGamesRankInTheTopTenAndAlwaysEnterTheLastTen) {
  Game g;
  c_MyApp* a = g.app;
  a->m_GameType = 3;
  for (int i = 0; i < 10; ++i) a->m_Scores[20 + i] = 1000 - 100 * i;
  a->m_Score = 600;  // equal to the fifth: goes below it, and the lowest falls off
  a->p_LoadMenu();
  EXPECT_EQ(a->m_ScoreBase, 20);
  EXPECT_EQ(V(a->m_Scores[24], a->m_Scores[25], a->m_Scores[26], a->m_Scores[29]), V(600, 600, 500, 200));
  a->m_Score = 0;  // does not rank, but is the newest of the last ten
  a->p_LoadMenu();
  EXPECT_EQ(V(a->m_Scores[29], a->m_Scores[260], a->m_Scores[261]), V(200, 0, 600));
}

TEST(ScreenFlow, GamesStartedByPointerGetTheOnScreenPadAndQuestGamesTwoLives) {
  Game g;
  c_MyApp* a = g.app;
  a->m_MouseDown = 0;
  a->p_LoadGame();
  EXPECT_EQ(V(bb_GW_OnScreenControls, a->m_Mode, a->m_Lives), V(0, 10, 3));
  a->m_MouseDown = 1;
  a->m_GameType = 5;
  a->m_QuestWorld = 3;
  a->m_QuestLevel = 7;
  a->p_LoadGame();
  EXPECT_EQ(V(bb_GW_OnScreenControls, a->m_Lives, a->m_Level), V(1, 2, 37));
  bb_GW_OnScreenControls = 0;
}

TEST(ScreenFlow, SuspendingInAGameOpensThePauseMenuCentred) {
  Game g;
  c_MyApp* a = g.app;
  a->p_OnSuspend();
  EXPECT_EQ(V(a->m_Paused, bb_app__updateRate), V(0, 5)) << "in the menu nothing pauses";
  a->p_OnResume();
  EXPECT_EQ(bb_app__updateRate, 60);
  a->m_Mode = 10;
  a->m_VKey[3] = 2;
  a->p_OnSuspend();
  EXPECT_EQ(V(a->m_Paused, a->m_PauseDir, a->m_PauseY, a->m_VKey[3]), V(1, 1, 240, 0));
}

TEST(ScreenFlow, FunctionKeysActOncePerPressAndF4Quits) {
  Game g;
  g.KeyDown(113);
  g.Updates(2);
  EXPECT_EQ(g.app->m_HideHud, 1) << "F2, held, hides the HUD once";
  g.KeyUp(113);
  g.KeyDown(112);
  g.Update();
  EXPECT_EQ(bb_GW_DebugMode, 1);
  g.KeyUp(112);
  g.FinishLoading();
  g.Update();
  EXPECT_TRUE(gametest::Has(g.Text(), ":")) << "the debug line is drawn";
  bb_GW_DebugMode = 0;
  EXPECT_EXIT((g.KeyDown(115), g.Update()), ::testing::ExitedWithCode(0), "");
}

TEST(ScreenFlow, TheBackKeyClosesTheMenuBoxesButNotTheOptions) {
  Game g;
  c_MyApp* a = g.app;
  g.FinishLoading();
  a->m_ShowCredits = a->m_ShowBadges = 1;
  g.KeyDown(27);
  g.Update();
  EXPECT_EQ(V(a->m_ShowCredits, a->m_ShowBadges, a->m_KeyLatch), V(0, 0, 1));
  g.KeyUp(27);
  g.Update();
  EXPECT_EQ(a->m_KeyLatch, 0) << "released: the latch clears";
  a->m_ShowOptions = 1;
  g.Update();
  EXPECT_EQ(V(a->m_KeyLatch, a->m_PointerLatch), V(1, 1)) << "the options box holds both latches";
  g.KeyDown(27);
  g.Update();
  EXPECT_EQ(a->m_ShowOptions, 1);
}

TEST(ScreenFlow, RateMetersKeepTheirValueOnARepeatedTimeStamp) {
  Game g;
  g.Updates(2);
  int fps = g.app->m_UpdFps;
  EXPECT_NEAR(fps, 60, 2);
  g.window.now -= 1.0 / 60.0;
  g.Update();
  EXPECT_EQ(g.app->m_UpdFps, fps);
  for (double now : {2.0, 2.02, 2.02}) g.window.now = now, g.Render();
  EXPECT_EQ(g.app->m_Fps, 50);
}

TEST(ProceduralMusic, TheGameDrivesThePlayerWhenItIsInUse) {
  Game g;
  c_MyApp* a = g.app;
  EXPECT_EQ(bb_GW_HasMusic, BBKxDemoSong::kHasMusic);
  bb_GW_HasMusic = 1;
  a->p_MusicCreate();
  EXPECT_EQ(V(a->m_Music->m_state, a->m_Music->m_loadStep), V(c_KxPlayer::kPlaying, 1));
  g.Render();
  EXPECT_EQ(a->m_Music->m_loadStep, 4) << "three loading steps at the start of each render";
  g.Update();  // the update hook runs too, while the song is still loading
  bb_GW_HasMusic = 0;
}

TEST(DisplayList, HoldsAtMost2499EntriesAFrameAndTheDrawStateIsSticky) {
  Game g;
  c_MyApp* a = g.app;
  a->p_CLS2D(10, 20, 30, 0.5f);
  for (int i = 0; i < 2600; ++i) a->p_Rect(static_cast<float>(i), 0, 1, 1);
  EXPECT_EQ(V(g.Entries(), g.Entry(2498)[1]), V(2499, 2498));
  g.Render();
  EXPECT_EQ(g.graphics->draws.size(), 1u + 2499u) << "the background and every recorded rectangle";
  a->p_CLS2D(kOmittedF, 0, 0, 0);
  EXPECT_EQ(V(a->m_ClsR, a->m_ClsA, a->m_DrawCount), V(10, 0.5, 0)) << "omitted: the old background";
  a->p_SetSize(2, kOmittedF);
  a->p_SetCol(1, 2, 3, 0.25f);
  a->p_SetCol(4, 5, 6, kOmittedF);
  a->p_DrawImg(2, 100, 50, 3);
  EXPECT_EQ(V(a->m_DrawSY, g.Entry(0)[7]), V(2, 0.25)) << "omitted values keep the old ones";
  a->p_CLS2D(0, 0, 0, 1);
  EXPECT_EQ(V(a->m_DrawSX, a->m_DrawAlpha, a->m_DrawRot), V(1, 1, 0)) << "a new frame resets them";
}

TEST(Text, GlyphsAdvanceByTheFontKernInTheSmallFontAndBreakLinesOnBackslashN) {
  Game g;
  c_MyApp* a = g.app;
  auto text = [&](float x, float y, const char* s, float alignX, float alignY) {
    a->p_CLS2D(0, 0, 0, 1);
    a->p_Text(x, y, String(s), alignX, alignY);
    return g.Text();
  };
  EXPECT_EQ(text(100, 100, "", 0, 0), "");
  ASSERT_EQ(text(100, 100, "A\\nB", 0, 1), "AB");
  // One space's advance after the line start; the next line one line height lower, at the start.
  EXPECT_EQ(V(g.Entry(0)[1], g.Entry(1)[1], g.Entry(1)[2] - g.Entry(0)[2]), V(107, 100, 10));
  EXPECT_EQ(text(0, 0, "x\\", 0, 1), "x\\") << "a trailing backslash is an ordinary glyph";
  // "ill" in the small font, centred: the space and the first two letters are 7 + 4 + 4 wide.
  ASSERT_EQ(text(200, 50, "ill", 1, 1), "ill");
  EXPECT_EQ(V(g.Entry(0)[1], g.Entry(1)[1], g.Entry(2)[1]), V(199.5, 203.5, 207.5));
  // Right alignment puts the measured width, trunc(7 * 2) + trunc(9 * 2), left of x; top
  // alignment puts the glyph centres half a line below y.
  a->p_CLS2D(0, 0, 0, 1);
  a->p_SetSize(2, 2);
  a->p_Text(200, 50, String("mw"), 2, 0);
  EXPECT_EQ(V(g.Entry(0)[1], g.Entry(0)[2]), V(200 - 32 + 14, 60));
  EXPECT_EQ(a->p_rstr(5, 2, String("0")).ToNarrow() + a->p_rstr(123, 2, String("0")).ToNarrow(), "0523");
  EXPECT_EQ(a->p_rstr(7, 4, String(" ")).ToNarrow() + a->p_rstr(-4, 3, String("0")).ToNarrow(), "   70-4");
}

TEST(Render, ScaleKeepsOneDesignAxisWholeAndReloadsOncePerResize) {
  Game g;
  c_MyApp* a = g.app;
  g.FinishLoading();
  g.Render();
  EXPECT_EQ(V(a->m_LoadStep, a->m_ScaleX), V(0, 1)) << "the size the game was created with";
  g.window.width = 1280;
  g.window.height = 720;
  bb_GW_overscan = 64;
  g.Render();
  EXPECT_EQ(V(a->m_ScaleX, a->m_ScaleY, bb_GW_jscrw, bb_GW_jscrh, a->m_Landscape, a->m_LoadStep),
            V(1.8f, 1.8f, 640, 360, 1, 1));
  a->m_LoadStep = 5;
  g.Render();
  EXPECT_EQ(a->m_LoadStep, 5) << "the loader restarts only once per change";
  bb_GW_overscan = 0;
  g.window.width = 400;
  g.window.height = 800;
  g.Render();
  EXPECT_EQ(V(bb_GW_jscrw, bb_GW_jscrh, a->m_Landscape), V(240, 480, 0)) << "portrait: the height rules";
}

TEST(Render, ReplayMapsDesignUnitsToPixelsAndSkipsEmptySlots) {
  Game g;
  c_MyApp* a = g.app;
  g.window.width = 1280;
  g.window.height = 960;
  g.Render();  // establishes the 2x scale
  a->p_CLS2D(0, 0, 0, 1);
  a->p_Rect(10, 20, 30, 40);
  a->p_Oval(100, 100, 5, 10);
  a->p_DrawImg(50, 1, 1, 0);  // an empty slot
  g.Render();
  const auto& d = g.graphics->draws;
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(d[1].what + " " + d[2].what, "rect oval");
  EXPECT_EQ(V(d[1].x, d[1].y, d[1].w, d[1].h, d[2].x, d[2].w, d[2].h), V(20, 40, 60, 80, 190, 20, 40));
}

}  // namespace
