// gl_support.h: a real window and OpenGL context for the device and surface tests, and pixel
// reading helpers. Tests skip only when there is no display at all.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "runtime/graphics/graphics.h"
#include "runtime/platform/window.h"
#include "support.h"

namespace bbtest {

// Opens the 640 x 480 window once per process, through the host as the game does (the test
// program's own host unless it names another). A busy X server may refuse the first attempts, so
// it tries for a few seconds before giving up.
inline bool OpenTestWindow(BBDesktopGame* host = Host()) {
  static int state = 0;  // 0 untried, 1 open, -1 unavailable
  for (int attempt = 0; state == 0 && std::getenv("DISPLAY") && attempt < 20; ++attempt) {
    if (attempt) usleep(250000);
    if (!bbWindowSystem()->Init()) continue;
    host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    int w = 0, h = 0;
    bbWindowSystem()->GetWindowSize(&w, &h);
    if (w > 0 && h > 0) state = 1;
  }
  if (state == 0) state = -1;
  return state == 1;
}

struct Rgb {
  int r, g, b;
};

inline Rgb ToRgb(int argb) {
  unsigned p = static_cast<unsigned>(argb);
  return {static_cast<int>((p >> 16) & 255), static_cast<int>((p >> 8) & 255), static_cast<int>(p & 255)};
}

inline ::testing::AssertionResult Near(Rgb got, Rgb want, int tolerance = 1) {
  if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
      std::abs(got.b - want.b) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "got (" << got.r << ", " << got.g << ", " << got.b
                                       << "), want (" << want.r << ", " << want.g << ", " << want.b << ")";
}

// A fresh device at the start of a frame, with the module's frame state, on a black window.
class GlFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
    ASSERT_TRUE(OpenTestWindow()) << "a display is set but no OpenGL window could be opened";
    if (!bb_graphics_context) gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
    device = new gxtkGraphics;
    bb_graphics_SetGraphicsDevice(device);
    ASSERT_EQ(device->BeginRender(), 1);
    bb_graphics_BeginRender();
    device->Cls(0, 0, 0);
  }
  void TearDown() override {
    if (device) {
      device->Flush();
      bb_graphics_EndRender();
    }
  }

  // One pixel of the frame being drawn, as 0xAARRGGBB.
  int PixelArgb(int x, int y) {
    Array<int> one(1);
    device->ReadPixels(one, x, y, 1, 1, 0, 1);
    return one[0];
  }
  Rgb Pixel(int x, int y) { return ToRgb(PixelArgb(x, y)); }

  gxtkGraphics* device = nullptr;
};

}  // namespace bbtest
