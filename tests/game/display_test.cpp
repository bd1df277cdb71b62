// The display list, the draw state, bitmap text and the render pass's scaling and replay.
#include <gtest/gtest.h>

#include <cmath>

#include "harness.h"

namespace {

using gametest::Game;

TEST(DisplayList, HoldsAtMost2499EntriesAFrame) {
  Game g;
  g.app->p_CLS2D(0, 0, 0, 1);
  for (int i = 0; i < 2600; ++i) g.app->p_Rect(static_cast<float>(i), 0, 1, 1);
  EXPECT_EQ(g.Entries(), 2499);
  EXPECT_EQ(g.Entry(2498)[1], 2498.0f);
  g.Render();
  int rects = 0;
  for (const auto& d : g.graphics->draws) rects += d.what == "rect";
  EXPECT_EQ(rects, 1 + 2499) << "the background and every recorded rectangle";
}

TEST(DisplayList, DrawStateIsStickyAndOmittedArgumentsKeepValues) {
  Game g;
  c_MyApp* a = g.app;
  a->p_CLS2D(10, 20, 30, 0.5f);
  a->p_SetSize(2, kOmittedF);
  EXPECT_EQ(a->m_DrawSY, 2.0f);
  a->p_SetCol(1, 2, 3, 0.25f);
  a->p_SetCol(4, 5, 6, kOmittedF);
  EXPECT_EQ(a->m_DrawAlpha, 0.25f) << "an omitted alpha keeps the old one";
  a->p_DrawImg(2, 100, 50, 3);
  EXPECT_EQ(g.Entry(0)[7], 0.25f) << "the recorded entry carries the sticky state";
  a->p_CLS2D(kOmittedF, 0, 0, 0);
  EXPECT_EQ(a->m_ClsR, 10) << "an omitted background keeps the previous one";
  EXPECT_EQ(a->m_ClsA, 0.5f);
  EXPECT_EQ(a->m_DrawCount, 0);
  EXPECT_EQ(a->m_DrawSX, 1);
  EXPECT_EQ(a->m_DrawAlpha, 1);
  EXPECT_EQ(a->m_DrawRot, 0);
}

TEST(Text, GlyphsStepByTheFontAdvanceAndBreakLinesOnBackslashN) {
  Game g;
  c_MyApp* a = g.app;
  a->p_CLS2D(0, 0, 0, 1);
  a->p_Text(100, 100, String(""), 0, 0);
  EXPECT_EQ(g.Entries(), 0) << "empty text records nothing";
  a->p_Text(100, 100, String("A\\nB"), 0, 1);
  ASSERT_EQ(g.Entries(), 2);
  EXPECT_EQ(g.Entry(0)[6], 'A' - 32);
  EXPECT_EQ(g.Entry(0)[1], 107) << "one space's advance after the line start";
  EXPECT_EQ(g.Entry(1)[6], 'B' - 32);
  EXPECT_FLOAT_EQ(g.Entry(1)[2] - g.Entry(0)[2], 10) << "the next line is one line height lower";
  EXPECT_NEAR(g.Entry(1)[1], 100, 1e-4) << "a new line starts at the line start";
  a->p_CLS2D(0, 0, 0, 1);
  a->p_Text(0, 0, String("x\\"), 0, 1);
  ASSERT_EQ(g.Entries(), 2);
  EXPECT_EQ(g.Entry(1)[6], 60) << "a trailing backslash is an ordinary glyph";
}

TEST(Text, KerningAndCentringInTheSmallFont) {
  Game g;
  c_MyApp* a = g.app;
  a->p_CLS2D(0, 0, 0, 1);
  // Width of "ill": the space and the first two letters, aw + (aw - 3) + (aw - 3) = 15.
  a->p_Text(200, 50, String("ill"), 1, 1);
  ASSERT_EQ(g.Entries(), 3);
  EXPECT_NEAR(g.Entry(0)[1], 200 - 7.5f + 7, 1e-3);
  EXPECT_NEAR(g.Entry(1)[1], g.Entry(0)[1] + 4, 1e-3) << "i advances 3 units less";
  EXPECT_NEAR(g.Entry(2)[1], g.Entry(1)[1] + 4, 1e-3);
  // Right alignment puts the measured width left of x; scale multiplies each step.
  a->p_CLS2D(0, 0, 0, 1);
  a->p_SetSize(2, 2);
  a->p_Text(200, 50, String("mw"), 2, 0);
  ASSERT_EQ(g.Entries(), 2);
  // W = trunc(7 * 2) + trunc(9 * 2) = 32; the first glyph stands one space (14) right of 200 - 32.
  EXPECT_NEAR(g.Entry(0)[1], 200 - 32 + 14, 1e-3);
  EXPECT_NEAR(g.Entry(0)[2], 50 + 10, 1e-3) << "top alignment puts the glyph centres half a line below y";
}

TEST(Text, RightJustifiedNumbers) {
  Game g;
  c_MyApp* a = g.app;
  EXPECT_EQ(a->p_rstr(5, 2, String("0")).ToNarrow(), "05");
  EXPECT_EQ(a->p_rstr(123, 2, String("0")).ToNarrow(), "23");
  EXPECT_EQ(a->p_rstr(7, 11, String(" ")).ToNarrow(), "          7");
  EXPECT_EQ(a->p_rstr(-4, 3, String("0")).ToNarrow(), "0-4");
}

TEST(Render, ScaleKeepsOneDesignAxisWholeAndReloadsOnResize) {
  Game g;
  c_MyApp* a = g.app;
  g.FinishLoading();
  g.Render();
  EXPECT_EQ(a->m_LoadStep, 0) << "the first render sees the size the game was created with";
  EXPECT_FLOAT_EQ(a->m_ScaleX, 1);
  g.window.width = 1280;
  g.window.height = 720;
  bb_GW_overscan = 64;
  g.Render();
  EXPECT_FLOAT_EQ(a->m_ScaleX, 1.8f);
  EXPECT_FLOAT_EQ(a->m_ScaleY, 1.8f);
  EXPECT_FLOAT_EQ(bb_GW_jscrw, 640);
  EXPECT_FLOAT_EQ(bb_GW_jscrh, 360);
  EXPECT_EQ(a->m_Landscape, 1);
  EXPECT_EQ(a->m_LoadStep, 1) << "a resize restarts the loader";
  a->m_LoadStep = 5;
  g.Render();
  EXPECT_EQ(a->m_LoadStep, 5) << "only once per change";
  bb_GW_overscan = 0;
  g.window.width = 400;
  g.window.height = 800;
  g.Render();
  // Portrait: the height sets the scale, so only 240 design units of width are visible.
  EXPECT_FLOAT_EQ(bb_GW_jscrw, 240);
  EXPECT_FLOAT_EQ(bb_GW_jscrh, 480);
  EXPECT_EQ(a->m_Landscape, 0);
}

TEST(Render, ReplayMapsDesignUnitsToPixelsAndSkipsEmptySlots) {
  Game g;
  c_MyApp* a = g.app;
  bb_GW_HasMusic = 0;  // the procedural build's music player draws while it loads
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
  EXPECT_EQ(d[1].what, "rect");
  EXPECT_FLOAT_EQ(d[1].x, 20);
  EXPECT_FLOAT_EQ(d[1].y, 40);
  EXPECT_FLOAT_EQ(d[1].w, 60);
  EXPECT_FLOAT_EQ(d[1].h, 80);
  EXPECT_EQ(d[2].what, "oval");
  EXPECT_FLOAT_EQ(d[2].x, 200 - 10);
  EXPECT_FLOAT_EQ(d[2].w, 20);
  EXPECT_FLOAT_EQ(d[2].h, 40);
}

TEST(Render, FrameRateMeterIgnoresAStoppedClock) {
  Game g;
  c_MyApp* a = g.app;
  g.window.now = 2.0;
  g.Render();
  g.window.now = 2.020;
  g.Render();
  EXPECT_EQ(a->m_Fps, 50);
  g.Render();  // same time stamp: no division, the rate stays
  EXPECT_EQ(a->m_Fps, 50);
}

}  // namespace
