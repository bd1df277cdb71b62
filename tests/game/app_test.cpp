// The game object's loader and screen flow, the display list and the render pass.
#include "game_test.h"

namespace {

using ScreenFlow = GameTest;
using DisplayList = GameTest;

TEST_F(ScreenFlow, TheLoaderPicksTheResolutionSetAndPlaysTheJingleOncePerRun) {
  g.FinishLoading();
  EXPECT_EQ(V(a->m_LoadStep, a->m_ImgInfo[3], a->m_SfxSlot), V(0, 128, 1)) << "the -hd set at 640 x 480; the jingle";
  g.Resize(800, 600);
  g.Render();
  EXPECT_EQ(a->m_LoadStep, 1) << "a resize runs the loader again";
  g.FinishLoading();
  EXPECT_EQ(a->m_SfxSlot, 1) << "but plays no second jingle";
  const int sizes[][3] = {{630, 630, 1}, {631, 400, 2}, {400, 631, 2}, {1230, 1230, 2}, {1231, 700, 4}};
  for (const auto& s : sizes) {
    g.Resize(s[0], s[1]);
    a->SetGraphicsLevel();
    EXPECT_EQ(a->m_GfxLevel, s[2]) << s[0] << " x " << s[1];
  }
}

TEST_F(ScreenFlow, SuspendingInAGameOpensThePauseMenuCentred) {
  a->p_LoadGame();
  a->m_VKey[3] = 2;
  a->p_OnSuspend();
  EXPECT_EQ(V(a->m_Paused, a->m_PauseDir, a->m_PauseY, a->m_VKey[3], bb_app__updateRate), V(1, 1, 240, 0, 5));
  a->p_OnResume();
  a->m_Mode = 1;
  a->m_Paused = a->m_PauseDir = 0;
  a->p_OnSuspend();
  EXPECT_EQ(V(a->m_Paused, a->m_PauseDir, bb_app__updateRate), V(0, 0, 5)) << "in the menu nothing pauses";
  a->p_OnResume();
  EXPECT_EQ(bb_app__updateRate, 60);
}

TEST_F(DisplayList, HoldsAtMost2499EntriesAFrame) {
  a->p_CLS2D(10, 20, 30, 0.5f);
  for (int i = 0; i < 2600; ++i) a->p_Rect(static_cast<float>(i), 0, 1, 1);
  g.Render();
  EXPECT_EQ(V(g.Entries(), g.Entry(2498)[1], g.graphics->draws.size()), V(2499, 2498, 2500)) << "and the background";
}

TEST_F(DisplayList, RenderingKeepsOneDesignAxisWholeMapsUnitsToPixelsAndSkipsEmptySlots) {
  g.Resize(1280, 720);
  bb_GW_overscan = 64;
  g.Render();
  EXPECT_EQ(V(a->m_ScaleX, a->m_ScaleY, bb_GW_jscrw, bb_GW_jscrh, a->m_Landscape), V(1.8f, 1.8f, 640, 360, 1));
  bb_GW_overscan = 0;
  g.Resize(400, 800);
  g.Render();
  EXPECT_EQ(V(bb_GW_jscrw, bb_GW_jscrh, a->m_Landscape), V(240, 480, 0)) << "portrait: the height rules";
  g.Resize(1280, 960);
  g.Render();
  a->p_CLS2D(0, 0, 0, 1);
  a->p_Rect(10, 20, 30, 40);
  a->p_Oval(100, 100, 5, 10);
  a->p_DrawImg(50, 1, 1, 0);  // an empty slot
  g.Render();
  const std::vector<std::string>& d = g.graphics->draws;
  EXPECT_EQ(std::vector<std::string>(d.begin() + 1, d.end()), (std::vector<std::string>{"rect 20 40 60 80", "oval 190 180 20 40"}));
}

}  // namespace
