// The game's own frames on the real device (Mesa, Xvfb) drawn from the shared texture pages and
// from a texture per image, at fractional scales and at 1x: the same pictures, in a few draw calls.
#include <gtest/gtest.h>

#include "game_test.h"
#include "tests/graphics/graphics_support.h"

constexpr int kN = 78;

TEST(GamePages_Gl, FramesMatchATexturePerImageInAHandfulOfDrawCalls) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
  ASSERT_TRUE(bbtest::OpenTestWindow());
  gametest::Game g;
  gxtkGraphics* device = new gxtkGraphics;
  gc_assign(bb_app__delegate->m__graphics, device);
  bb_graphics_SetGraphicsDevice(device);
  g.Ready();
  // A sample exactly between two texels of an image (as every one is where the game halves its
  // images) takes either, as single-precision interpolation decides, which a large page may change:
  // a few pixels show the neighbouring texel, while a wrong, stale or bleeding page changes many.
  auto check = [&](const char* screen, int64_t maxDraws, std::vector<std::pair<int, int>> sizes) {
    for (auto [w, h] : sizes) {
      SCOPED_TRACE(std::string(screen) + " at " + std::to_string(w) + " x " + std::to_string(h));
      g.window.width = w, g.window.height = h;
      std::vector<int> pixels[2];
      int64_t draws = device->drawCalls;
      for (int pages : {1, 0}) {
        device->useTexturePages = pages;
        g.Render();
        if (pages) draws = device->drawCalls - draws;
        Array<int> read(w * h);
        device->ReadPixels(read, 0, 0, w, h, 0, w);
        pixels[pages].assign(read.Data(), read.Data() + read.Length());
      }
      size_t differ = 0;
      for (size_t i = 0; i < pixels[0].size(); ++i) differ += pixels[0][i] != pixels[1][i];
      EXPECT_LE(differ * 10, pixels[0].size());
      EXPECT_LE(draws, maxDraws);
    }
    g.app->m_LoadStep = 0;  // the size changed between updates only: nothing to reload
  };
  check("title menu", 10, {{560, 420}, {600, 450}, {640, 480}});
  g.Press(kN);
  g.Updates(40);
  check("credits", 20, {{600, 450}, {640, 480}});
  g.Press(kN);
  g.Updates(40);
  g.Press(kEnter);
  g.Press(kEnter);
  g.Updates(230);
  ASSERT_EQ(g.app->m_Mode, 10);
  check("level", 20, {{560, 420}, {640, 480}});
  g.Press(kEscape);
  g.Updates(30);
  check("pause menu", 20, {{600, 450}, {640, 480}});
}
