// The display list and the render pass, the on-screen pad, and effect files.
#include <cstdlib>

#include "game_test.h"

namespace {

using DisplayList = GameTest;
using Controls = GameTest;
using Sound = GameTest;

TEST_F(DisplayList, HoldsAtMost2499EntriesAFrame) {
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
  g.Resize(1280, 960);
  g.Render();
  a->p_CLS2D(0, 0, 0, 1);
  a->p_Rect(10, 20, 30, 40);
  a->p_Oval(100, 100, 5, 10);
  a->p_DrawImg(50, 1, 1, 0);  // an empty slot
  g.Render();
  const std::vector<std::string>& d = g.graphics->draws;
  EXPECT_EQ(std::vector<std::string>(d.begin() + 1, d.end()),
            (std::vector<std::string>{"rect 20 40 60 80", "oval 190 180 20 40"}));
}

TEST_F(Controls, OnScreenPadPressesLastOneUpdateAndMoveWhilePaused) {
  g.FinishLoading();
  g.Render();
  bb_GW_OnScreenControls = 1;
  a->m_Mode = 6;  // any mode above 5 shows the pad; 6 runs no screen that could take the press
  a->m_Settings[15] = 1;
  a->m_Settings[10] = a->m_Settings[11] = 100;
  a->m_Settings[12] = 10;
  g.MouseDown(100, 348);  // the up arrow, 32 units above the pad centre (100, 380)
  std::string up;         // pressed again while held, released after one update
  for (int i = 0; i < 3; ++i) {
    if (i == 2) g.MouseUp();
    g.Update();
    up += std::to_string(a->m_VKey[0]);
  }
  EXPECT_EQ(up, "110");
  a->m_Paused = 1;  // the arrows do nothing, and one finger drags the pad
  g.MouseDown(100, 348);
  g.Update();
  EXPECT_EQ(V(a->m_VKey[0], a->m_Settings[10], a->m_Settings[11]), V(0, 100, 480 - 348));
  a->m_Settings[12] = 99;
  g.Update();
  EXPECT_EQ(a->m_Settings[12], 25) << "the size is clamped";
  bb_GW_OnScreenControls = 0;
}

TEST_F(Sound, EffectNumbersArePaddedToThreeDigitsAndBeyondTheSlotsRefused) {
  // The game's working folder gets a data folder of its own holding copies of one effect.
  ASSERT_EQ(0, std::system("rm data && mkdir -p data/sfx && for n in 007 042 123; do cp " ZUDODO_SOURCE_DIR
                           "/data/sfx/001.wav data/sfx/$n.wav; done"));
  for (int n : {7, 42, 43, 123}) a->p_LoadSFX(n);  // 123: beyond the 100 slots, refused
  EXPECT_TRUE(a->m_Sfx[7] && a->m_Sfx[42] && !a->m_Sfx[43]) << "a missing file leaves the slot empty";
  a->p_PlaySFX2(123, 1);
}

}  // namespace
