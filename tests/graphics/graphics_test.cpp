// Without OpenGL: hostile images refused without crashing or allocating what their headers claim, and the
// module over a device logging the matrix, the matrix stack, image frames and the font it reaches.
#include <gtest/gtest.h>

#include <sstream>

#include "graphics_support.h"
#include "runtime/graphics/image_data.h"

namespace {

using bbtest::Bytes;
using bbtest::Ihdr;
using bbtest::PngOf;
using Log = std::vector<std::string>;

// The pixels decoded from bytes (null when refused), freed with the value.
struct Decoded {
  explicit Decoded(const Bytes& b) : pixels(bbDecodeImageMemory(b.data(), b.size(), &width, &height, &depth)) {}
  ~Decoded() { std::free(pixels); }
  int width = 0, height = 0, depth = 0;
  unsigned char* pixels;
};

TEST(ImageData_Hostile, RefusesEveryTruncationOfARealFileAndSurvivesCorruptedBytes) {
  const Bytes png = bbtest::ReadBytes("data/grid_64x64.png");
  ASSERT_GT(png.size(), 60u);
  for (auto end = png.begin(); end != png.end(); ++end) EXPECT_FALSE(Decoded(Bytes(png.begin(), end)).pixels);
  uint32_t seed = 12345;
  for (int round = 0; round < 400; ++round) {
    Bytes bad = png;
    for (int k = 0; k < 1 + round % 4; ++k) {
      seed = seed * 1664525u + 1013904223u;
      bad[8 + (seed >> 8) % (bad.size() - 8)] ^= static_cast<unsigned char>(1u << ((seed >> 4) & 7));
    }
    const Decoded d(bad);
    EXPECT_TRUE(!d.pixels || (d.width == 64 && d.height == 64)) << "round " << round;
    EXPECT_LT(bbLastImageDecodePeakBlock(), 2u * 1024 * 1024) << "round " << round;
  }
}

TEST(ImageData_Hostile, RefusesAbsurdSizesAndChunksBeyondTheFileBeforeAllocatingPixels) {
  const uint32_t sizes[][2] = {{100000, 100000}, {8193, 1}, {1, 8193}, {5000, 5000}, {0, 10}, {0x80000000u, 2}};
  for (const auto& size : sizes) {
    // A header, a little image data and an end: the header alone must decide.
    EXPECT_FALSE(Decoded(bbtest::Png(size[0], size[1], 6, {0, 1, 2, 3, 4})).pixels) << size[0] << " x " << size[1];
    EXPECT_LT(bbLastImageDecodePeakBlock(), 64u * 1024) << size[0] << " x " << size[1];
  }
  Bytes row(1 + 8192, 7);  // the largest accepted shape still decodes: one row of 8192 grey pixels
  row[0] = 0;
  const Decoded d(bbtest::Png(8192, 1, 0, row));
  EXPECT_TRUE(d.pixels && d.pixels[8191] == 7);
  // A chunk that claims more than the file holds, and data before the header.
  EXPECT_FALSE(Decoded(PngOf({{"IHDR", Ihdr(1, 1, 0)}, {"IDAT", {0x78, 1, 1, 2}, 0x7ffffff0}, {"IEND", {}}})).pixels);
  EXPECT_LT(bbLastImageDecodePeakBlock(), 64u * 1024);
  EXPECT_FALSE(Decoded(PngOf({{"IDAT", bbtest::ZlibStored({0, 1})}, {"IHDR", Ihdr(1, 1, 0)}, {"IEND", {}}})).pixels);
}

// A 1 x 1 image whose data inflates to 64 MiB is refused long before the stream is all inflated.
TEST(ImageData_Hostile, StopsACompressionBombEarly) {
  Bytes z = {0x78, 0x01};
  uint64_t bits = 0, used = 0;
  // Appends n bits, least significant first; the Huffman codes below are written bit-reversed.
  const auto put = [&](uint32_t value, int n) {
    bits |= uint64_t{value} << used;
    for (used += n; used >= 8; used -= 8, bits >>= 8) z.push_back(static_cast<unsigned char>(bits));
  };
  put(3, 3);                                       // the last block, fixed codes
  put(0x0C, 8);                                    // literal 0
  for (int i = 0; i < 260000; ++i) put(0xA3, 13);  // length 258 at distance 1
  put(0, 14);                                      // end of block, then padding
  bbtest::PutBe32(z, 0);                           // checksum (never reached)
  const Bytes png = PngOf({{"IHDR", Ihdr(1, 1, 6)}, {"IDAT", z}, {"IEND", {}}});
  EXPECT_FALSE(Decoded(png).pixels);
  EXPECT_LT(bbLastImageDecodePeakBlock(), 4u * png.size());
}

// A 4 x 1 image of palette indices 0, 1, 2 and 200 over a palette of two entries.
Bytes PalettePng(const std::vector<bbtest::Chunk>& extra) {
  std::vector<bbtest::Chunk> chunks = {{"IHDR", Ihdr(4, 1, 3)}, {"PLTE", {10, 20, 30, 40, 50, 60}}};
  chunks.insert(chunks.end(), extra.begin(), extra.end());
  chunks.insert(chunks.end(), {{"IDAT", bbtest::ZlibStored({0, 0, 1, 2, 200})}, {"IEND", {}}});
  return PngOf(chunks);
}

TEST(ImageData_Hostile, IndicesBeyondAShortPaletteAreOpaqueBlackAndMisfitPaletteChunksAreRefused) {
  for (int round = 0; round < 2; ++round) {  // twice: leftovers of a decode must not pass for the answer
    const Decoded d(PalettePng({})), t(PalettePng({{"tRNS", {128}}}));
    ASSERT_TRUE(d.pixels && t.pixels);
    EXPECT_EQ(Bytes(d.pixels, d.pixels + 12), (Bytes{10, 20, 30, 40, 50, 60, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes(t.pixels, t.pixels + 16), (Bytes{10, 20, 30, 128, 40, 50, 60, 255, 0, 0, 0, 255, 0, 0, 0, 255}));
  }
  EXPECT_FALSE(Decoded(PalettePng({{"tRNS", {1, 2, 3}}})).pixels) << "more alpha values than entries";
  EXPECT_FALSE(Decoded(PalettePng({{"PLTE", {1, 2, 3}}})).pixels) << "a second palette";
}

// Logs drawing and the matrix (the frame state the module sends is checked on screen).
class LoggingDevice : public gxtkGraphics {
 public:
  int SetBlend(int) override { return 0; }
  int SetScissor(int, int, int, int) override { return 0; }
  int SetMatrix(float a, float b, float c, float d, float x, float y) override {
    return Note("SetMatrix", a, b, c, d, x, y);
  }
  int Cls(float r, float g, float b) override { return Note("Cls", r, g, b); }
  int DrawRect(float x, float y, float w, float h) override { return Note("DrawRect", x, y, w, h); }
  int DrawLine(float x1, float y1, float x2, float y2) override { return Note("DrawLine", x1, y1, x2, y2); }
  int DrawOval(float x, float y, float w, float h) override { return Note("DrawOval", x, y, w, h); }
  int DrawSurface(gxtkSurface*, float x, float y) override { return Note("DrawSurface", x, y); }
  int DrawSurface2(gxtkSurface*, float x, float y, int sx, int sy, int sw, int sh) override {
    return Note("DrawSurface2", x, y, sx, sy, sw, sh);
  }
  int ReadPixels(Array<int>, int x, int y, int w, int h, int offset, int pitch) override {
    return Note("ReadPixels", x, y, w, h, offset, pitch);
  }

  template <class... T>
  int Note(const char* name, T... args) {
    std::ostringstream line(name, std::ios::ate);
    ((line << ' ' << args), ...);
    return log.push_back(line.str()), 0;
  }
  Log log;
};

// An image cut from a surface of that size without pixels: frames are cut by its size alone.
c_Image* Image(int w, int h, int frames, int flags) {
  gxtkSurface* s = new gxtkSurface;
  s->width = w, s->height = h;
  return (new c_Image)->m_new()->p_Init(s, frames, flags);
}

class Graphics_Module : public ::testing::Test {
 protected:
  void SetUp() override {
    bbtest::Host();
    gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
    bb_graphics_SetGraphicsDevice(device);
    bb_graphics_BeginRender(), bb_graphics_Translate(5, 5), bb_graphics_PushMatrix();  // left from the frame before
    bb_graphics_EndRender(), bb_graphics_BeginRender(), device->log.clear();
  }
  void TearDown() override { bb_graphics_EndRender(); }
  // What drawing frames 0 to 3 of an image at the origin tells the device.
  Log Drawn(c_Image* img) {
    bb_graphics_DrawRect(0, 0, 1, 1), device->log.clear();  // the matrix is sent by now
    for (int frame = 0; frame < 4; ++frame) bb_graphics_DrawImage(img, 0, 0, frame);
    return device->log;
  }

  LoggingDevice* device = new LoggingDevice;
};

TEST_F(Graphics_Module, TheMatrixIsSentOnlyWhenSomethingIsDrawnAndArraysNeedSixElements) {
  bb_graphics_DrawRect(0, 0, 1, 1), bb_graphics_DrawLine(0, 0, 1, 1);
  bb_graphics_Translate(3, 4), bb_graphics_Scale(2, 2), bb_graphics_DrawEllipse(10, 20, 5, 6);
  bb_graphics_Translate(1, 1), bb_graphics_Cls(0, 0, 0);  // Cls and ReadPixels neither need nor send it
  bb_graphics_ReadPixels(Array<int>(400), 1, 2, 20, 10, 0, 0);  // a pitch of 0 is the width
  bb_graphics_ReadPixels(Array<int>(400), 0, 0, 5, 5, 3, 7);
  const float m[6] = {1, 2, 3, 4, 5, 6};  // arrays need six elements
  for (int n : {6, 5}) bb_graphics_SetMatrix2(Array<float>(m, n)), bb_graphics_Transform2(Array<float>(m, n));
  bb_graphics_DrawRect(0, 0, 1, 1);
  bb_graphics_SetMatrix(1, 0, 0, 1, 0, 0), bb_graphics_DrawRect(0, 0, 1, 1);  // the identity again is a change too
  EXPECT_EQ(device->log, (Log{"SetMatrix 1 0 0 1 0 0", "DrawRect 0 0 1 1", "DrawLine 0 0 1 1",
                              "SetMatrix 2 0 0 2 3 4", "DrawOval 5 14 10 12", "Cls 0 0 0", "ReadPixels 1 2 20 10 0 20",
                              "ReadPixels 0 0 5 5 3 7", "SetMatrix 7 10 15 22 28 40", "DrawRect 0 0 1 1",
                              "SetMatrix 1 0 0 1 0 0", "DrawRect 0 0 1 1"}));
}

TEST_F(Graphics_Module, TheMatrixStackKeepsThirtyTwoLevelsAndOverflowAndUnderflowAreRuntimeErrors) {
  const auto set = [](float l) { bb_graphics_SetMatrix(l, l + 1, l + 2, l + 3, l + 4, l + 5); };
  for (int level = 0; level < 32; ++level) set(float(level)), bb_graphics_PushMatrix();
  for (int level = 31; level >= 0; --level) set(99), bb_graphics_PopMatrix(), bb_graphics_DrawRect(0, 0, 1, 1);
  EXPECT_EQ(device->log[0], "SetMatrix 31 32 33 34 35 36");
  EXPECT_EQ(device->log.end()[-2], "SetMatrix 0 1 2 3 4 5");
  BB_EXPECT_RUNTIME_ERROR(for (int i = 0; i < 33; ++i) bb_graphics_PushMatrix(), "Matrix stack overflow");
  BB_EXPECT_RUNTIME_ERROR(bb_graphics_PopMatrix(), "Matrix stack underflow");
}

TEST_F(Graphics_Module, ImagesCutTheirSurfaceIntoFramesInRowsAndApplyTheirFlags) {
  c_Image* grid = Image(64, 64, 1, 0);
  grid->p_Init2(grid->m_surface, 32, 0, 16, 16, 3, 0, nullptr, 8, 4, 48, 32);  // wraps, the source offset added
  const std::pair<c_Image*, Log> rows[] = {
      {grid, {"DrawSurface2 0 0 40 4 16 16", "DrawSurface2 0 0 8 20 16 16", "DrawSurface2 0 0 24 20 16 16"}},
      {Image(24, 8, 3, c_Image::PadX),
       {"DrawSurface2 0 0 1 0 6 8", "DrawSurface2 0 0 9 0 6 8", "DrawSurface2 0 0 17 0 6 8"}},
      {Image(32, 32, 1, c_Image::CentreHandle), {"DrawSurface -16 -16"}},
      {Image(32, 32, 1, c_Image::CentreHandle | c_Image::PadX | c_Image::PadY), {"DrawSurface2 -15 -15 1 1 30 30"}}};
  for (const auto& [image, drawn] : rows) EXPECT_EQ(Drawn(image), drawn);
  for (int n : {17, 1})  // 17 frames of 16 x 16, or one 80 wide, in 64 x 64
    BB_EXPECT_RUNTIME_ERROR(grid->p_Init2(grid->m_surface, 0, 0, n == 1 ? 80 : 16, 16, n, 0, nullptr, 0, 0, 64, 64),
                            "Image frame outside surface");
  BB_EXPECT_RUNTIME_ERROR(Image(64, 64, 0, 0), "Image frame count must be at least 1");
}

TEST_F(Graphics_Module, ImagesAreDrawnAboutTheirHandleFramesThatDoNotExistNotAtAllAndTheFontFallsBack) {
  c_Image* strip = Image(64, 16, 4, 0);
  c_Image* whole = Image(64, 16, 1, c_Image::CentreHandle);
  strip->p_SetHandle(8, 8);
  bb_graphics_DrawImage(strip, 100, 50, 2), bb_graphics_DrawImage(strip, 0, 0, -1);
  bb_graphics_DrawImage(nullptr, 0, 0, 0), bb_graphics_DrawImage2(strip, 0, 0, 0, 1, 1, 9);
  bb_graphics_Translate(1000, 0);
  bb_graphics_DrawImage2(strip, 100, 50, 0, 1, 1, 1), bb_graphics_DrawImage2(whole, 0, 0, 0, 1, 1, 0);
  bb_graphics_DrawRect(0, 0, 1, 1);  // under the matrix from before the DrawImage2 calls
  EXPECT_EQ(device->log, (Log{"SetMatrix 1 0 0 1 0 0", "DrawSurface2 92 42 32 0 16 16", "SetMatrix 1 0 0 1 1092 42",
                              "DrawSurface2 0 0 16 0 16 16", "SetMatrix 1 0 0 1 968 -8", "DrawSurface 0 0",
                              "SetMatrix 1 0 0 1 1000 0", "DrawRect 0 0 1 1"}));
  bb_graphics_SetFont(nullptr, 7);  // this working folder has no data/default_font.png: no font, no complaint
  EXPECT_EQ(bb_graphics_context->m_font, nullptr);
  gc_assign(bb_graphics_context->m_defaultFont, strip), bb_graphics_SetFont(nullptr, 7);
  EXPECT_EQ(bb_graphics_context->m_font, strip);
}

}  // namespace
