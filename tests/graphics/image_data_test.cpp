// Image decoding: hostile files refused without crashing or allocating what their headers claim.
// What real files decode to, and the host's loading entry, are checked on screen in gl_test.cpp.
#include <gtest/gtest.h>

#include "graphics_support.h"
#include "runtime/graphics/image_data.h"

namespace {

using bbtest::Bytes;
using bbtest::Ihdr;
using bbtest::PngOf;

// The pixels decoded from bytes (null when refused), freed with the value.
struct Decoded {
  explicit Decoded(const Bytes& b) : pixels(bbDecodeImageMemory(b.data(), b.size(), &width, &height, &depth)) {}
  ~Decoded() { std::free(pixels); }
  int width = 0, height = 0, depth = 0;
  unsigned char* pixels;
};

TEST(ImageData_Hostile, RefusesEveryTruncationOfARealFile) {
  const Bytes png = bbtest::ReadBytes("data/marker_16x16.png");
  ASSERT_GT(png.size(), 60u);
  for (auto end = png.begin(); end != png.end(); ++end) EXPECT_FALSE(Decoded(Bytes(png.begin(), end)).pixels);
}

TEST(ImageData_Hostile, SurvivesCorruptedBytes) {
  const Bytes png = bbtest::ReadBytes("data/grid_64x64.png");
  ASSERT_FALSE(png.empty());
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
  ASSERT_TRUE(d.pixels);
  EXPECT_EQ(d.pixels[8191], 7);
  // A chunk that claims more than the file holds, and data before the header.
  EXPECT_FALSE(Decoded(PngOf({{"IHDR", Ihdr(1, 1, 0)}, {"IDAT", {0x78, 1, 1, 2}, 0x7ffffff0}, {"IEND", {}}})).pixels);
  EXPECT_LT(bbLastImageDecodePeakBlock(), 64u * 1024);
  EXPECT_FALSE(Decoded(PngOf({{"IDAT", bbtest::ZlibStored({0, 1})}, {"IHDR", Ihdr(1, 1, 0)}, {"IEND", {}}})).pixels);
}

// A 1 x 1 image whose data inflates to 64 MiB: decoding fails once the output outgrows what a
// 1 x 1 image can need, long before the whole stream is inflated.
TEST(ImageData_Hostile, StopsACompressionBombEarly) {
  Bytes z = {0x78, 0x01};
  uint64_t bits = 0;
  int used = 0;
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

}  // namespace
