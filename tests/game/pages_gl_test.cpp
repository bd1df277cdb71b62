// The game's own frames on the real device (Mesa, Xvfb), drawn from the shared texture pages and
// from a texture per image, at 1x, at fractional scales and after the full-screen switch has
// rebuilt the pages: the same pictures, in a handful of draw calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "menu_steps.h"
#include "tests/graphics/gl_support.h"

namespace {

using namespace menutest::keys;

TEST(GamePages_Gl, FramesMatchATexturePerImageInAHandfulOfDrawCalls) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
  ASSERT_TRUE(bbtest::OpenTestWindow());
  BBWindowSystem* real = bbWindowSystem();
  gametest::Game g;
  gxtkGraphics* device = new gxtkGraphics;
  gc_assign(bb_app__delegate->m__graphics, device);
  bb_graphics_SetGraphicsDevice(device);
  menutest::Ready(g);

  auto render = [&](bool pages, int64_t* draws) {
    device->useTexturePages = pages;
    int64_t before = device->drawCalls;
    g.Render();
    *draws = device->drawCalls - before;
    Array<int> pixels(g.window.width * g.window.height);
    device->ReadPixels(pixels, 0, 0, g.window.width, g.window.height, 0, g.window.width);
    return std::vector<int>(pixels.Data(), pixels.Data() + pixels.Length());
  };
  auto check = [&](const char* screen, int64_t maxDraws, std::vector<std::pair<int, int>> sizes) {
    for (auto [w, h] : sizes) {
      SCOPED_TRACE(std::string(screen) + " at " + std::to_string(w) + " x " + std::to_string(h));
      g.window.width = w, g.window.height = h;
      int64_t draws = 0, unpacked = 0;
      std::vector<int> packed = render(true, &draws), own = render(false, &unpacked);
      // A sample that lands exactly between two texels of an image (every one does where the
      // game halves its images) takes either, as single-precision interpolation decides, and
      // inside a large page it may decide otherwise. Such pixels show the image's neighbouring
      // texel; a wrong, stale or bleeding page changes far more.
      double sum = 0;
      size_t differ = 0;
      for (size_t i = 0; i < packed.size(); ++i) {
        int d = 0;
        for (int shift : {0, 8, 16}) d = std::max(d, std::abs((packed[i] >> shift & 255) - (own[i] >> shift & 255)));
        sum += d, differ += d != 0;
      }
      EXPECT_LE(differ, packed.size() / 20);
      EXPECT_LE(sum / static_cast<double>(packed.size()), 1.0);
      EXPECT_LE(draws, maxDraws);
      EXPECT_GT(unpacked, 4 * draws);
    }
    // The game saw the window change size, but only between updates: no reload.
    g.app->m_LoadStep = 0;
  };
  const std::vector<std::pair<int, int>> kSizes{{560, 420}, {600, 450}, {640, 480}};
  check("title menu", 10, kSizes);
  menutest::Press(g, kN);
  g.Updates(40);
  check("credits", 20, kSizes);
  menutest::Press(g, kN);
  g.Updates(40);
  menutest::Press(g, kEnter);
  menutest::Press(g, kEnter);
  g.Updates(200);
  ASSERT_EQ(g.app->m_Mode, 10);
  check("level", 20, kSizes);
  menutest::Press(g, kEscape);
  g.Updates(30);
  check("pause menu", 20, kSizes);

  // Full screen is a new window and OpenGL context: the pages are rebuilt from their members.
  for (bool full : {true, false}) {
    BBWindowSystem* headless = bbSetWindowSystem(real);
    bbtest::Host()->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, full);
    int w = 0, h = 0;
    real->GetWindowSize(&w, &h);
    bbSetWindowSystem(headless);
    check(full ? "pause menu, full screen" : "pause menu, windowed again", 20, {{w, h}});
  }
}

}  // namespace
