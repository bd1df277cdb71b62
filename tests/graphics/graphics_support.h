// graphics_support.h: what the graphics tests share (the audio and music tests borrow it too): the host,
// runtime errors, scratch files, hand-made PNGs, and a real window with a fresh device (needs a display).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/graphics/graphics.h"
#include "runtime/host/game.h"
#include "runtime/object/gc.h"
#include "runtime/platform/window.h"
#include "scratch.h"

namespace bbtest {

using Bytes = std::vector<unsigned char>;

// The one host object of a test program; image loading goes through it.
inline BBDesktopGame* Host() {
  static BBDesktopGame* host = (gc_init(), new BBDesktopGame);
  return host;
}

// Runs the statement in a child and expects the runtime error path with this message: the report
// goes to standard output (sent to standard error here) and, with no debugger commands on standard
// input, the process ends with status -1.
#define BB_EXPECT_RUNTIME_ERROR(statement, message)                                                     \
  EXPECT_EXIT((std::freopen("/dev/null", "r", stdin), dup2(2, 1), [&] { statement; }(), std::_Exit(0)), \
              ::testing::ExitedWithCode(255), "Runtime Error : " message)

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Writes the bytes to a file of that name in the scratch folder; its path.
inline std::string WriteScratch(const std::string& name, const Bytes& bytes) {
  const std::string path = ScratchFolder() + name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
  return path;
}

inline void PutBe32(Bytes& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

// A PNG chunk; declaredLength, when not -1, replaces the true length in its length field.
struct Chunk {
  const char* type;
  Bytes data;
  int64_t declaredLength = -1;
};

// The signature and the chunks, their CRCs left 0: the decoder does not check them.
inline Bytes PngOf(const std::vector<Chunk>& chunks) {
  Bytes png = {137, 80, 78, 71, 13, 10, 26, 10};
  for (const Chunk& c : chunks) {
    PutBe32(png, static_cast<uint32_t>(c.declaredLength < 0 ? int64_t(c.data.size()) : c.declaredLength));
    png.insert(png.end(), c.type, c.type + 4);
    png.insert(png.end(), c.data.begin(), c.data.end());
    PutBe32(png, 0);
  }
  return png;
}

// The body of an IHDR chunk with a bit depth of 8.
inline Bytes Ihdr(uint32_t width, uint32_t height, int colorType) {
  Bytes d;
  for (uint32_t side : {width, height}) PutBe32(d, side);
  d.insert(d.end(), {8, static_cast<unsigned char>(colorType), 0, 0, 0});
  return d;
}

// A zlib stream of one stored block (at most 65535 bytes).
inline Bytes ZlibStored(const Bytes& bytes) {
  const size_t n = bytes.size();
  Bytes z = {0x78, 0x01, 1, uint8_t(n), uint8_t(n >> 8), uint8_t(~n), uint8_t(~n >> 8)};
  z.insert(z.end(), bytes.begin(), bytes.end());
  uint32_t s1 = 1, s2 = 0;
  for (unsigned char b : bytes) s1 = (s1 + b) % 65521, s2 = (s2 + s1) % 65521;
  PutBe32(z, (s2 << 16) | s1);
  return z;
}

// A whole PNG of the given shape and raw scanlines (each starting with its filter byte).
inline Bytes Png(uint32_t width, uint32_t height, int colorType, const Bytes& scanlines) {
  return PngOf({{"IHDR", Ihdr(width, height, colorType)}, {"IDAT", ZlibStored(scanlines)}, {"IEND", {}}});
}

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
    if (device) device->Flush(), bb_graphics_EndRender();
  }

  gxtkSurface* Load(const char* file) { return device->LoadSurface(String(file)); }
  // Reads back probed pixels {x, y, 0xRRGGBB} of the frame (pending drawing too), give or take 1 a channel.
  void ExpectPixels(std::initializer_list<std::array<unsigned, 3>> probes) {
    for (const auto& [x, y, rgb] : probes) {
      Array<int> one(1);
      device->ReadPixels(one, int(x), int(y), 1, 1, 0, 1);
      bool near = true;
      for (int at = 0; at < 24; at += 8) near = near && std::abs((one[0] >> at & 255) - int(rgb >> at & 255)) <= 1;
      EXPECT_TRUE(near) << "at " << x << ", " << y << std::hex << ": " << (one[0] & 0xFFFFFF) << ", not " << rgb;
    }
  }
  gxtkGraphics* device = nullptr;
};

}  // namespace bbtest
