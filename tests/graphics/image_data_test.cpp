// Image decoding: the channel counts of an independent encoder's files, the host's loading entry
// and its force-sweep flag, and hostile files refused without crashing or allocating what their
// headers claim. Premultiplication on load is checked on screen in surface_gl_test.cpp.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "graphics_support.h"
#include "runtime/graphics/image_data.h"

namespace {

using bbtest::Bytes;

// The pixels decoded from bytes (null when refused), freed with the value.
struct Decoded {
  explicit Decoded(const Bytes& bytes)
      : pixels(bbDecodeImageMemory(bytes.data(), bytes.size(), &width, &height, &depth)) {}
  ~Decoded() { std::free(pixels); }
  Bytes First(size_t n) const { return Bytes(pixels, pixels + n); }
  int width = 0, height = 0, depth = 0;
  unsigned char* pixels;
};

TEST(ImageData_Decode, KeepsEachFilesOwnChannelCount) {
  const struct {
    const char* file;
    int width, height, depth;
  } cases[] = {{"data/font_768x8.png", 768, 8, 1}, {"data/grey_alpha_4x4.png", 4, 4, 2},
               {"data/strip_64x16.png", 64, 16, 3}, {"data/rgba_2x2.png", 2, 2, 4}};
  for (const auto& c : cases) {
    Decoded d(bbtest::ReadBytes(c.file));
    ASSERT_NE(d.pixels, nullptr) << c.file;
    EXPECT_EQ(std::vector<int>({d.width, d.height, d.depth}), std::vector<int>({c.width, c.height, c.depth}))
        << c.file;
  }
}

TEST(ImageData_Host, LoadsThroughTheHostAndForcesASweepOnlyWhenAFileWasOpened) {
  int w = 0, h = 0, depth = 0;
  const auto load = [&](const std::string& path) {
    gc_force_sweep = false;
    unsigned char* pixels = bbtest::Host()->LoadImageData(String::FromUtf8(path), &w, &h, &depth);
    std::free(pixels);
    return pixels != nullptr;
  };
  EXPECT_FALSE(load("data/no_such_image.png"));
  EXPECT_FALSE(gc_force_sweep);
  EXPECT_TRUE(load("data/rgba_2x2.png"));
  EXPECT_TRUE(gc_force_sweep);
  // An opened file that does not decode still counts as a load.
  for (const Bytes& bytes : {Bytes{}, Bytes{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'}}) {
    EXPECT_FALSE(load(bbtest::WriteScratch("not_an_image.png", bytes)));
    EXPECT_TRUE(gc_force_sweep);
  }
}

TEST(ImageData_Hostile, RefusesEveryTruncationOfARealFile) {
  const Bytes png = bbtest::ReadBytes("data/marker_16x16.png");
  ASSERT_GT(png.size(), 60u);
  for (size_t n = 0; n < png.size(); ++n) {
    EXPECT_EQ(Decoded(Bytes(png.begin(), png.begin() + long(n))).pixels, nullptr) << "cut to " << n << " bytes";
  }
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
    Decoded d(bad);
    EXPECT_TRUE(!d.pixels || (d.width == 64 && d.height == 64)) << "round " << round;
    EXPECT_LT(bbLastImageDecodePeakBlock(), 2u * 1024 * 1024) << "round " << round;
  }
}

TEST(ImageData_Hostile, RefusesAbsurdSizesBeforeAllocatingPixels) {
  const struct {
    uint32_t width, height;
  } cases[] = {{100000, 100000}, {8193, 1}, {1, 8193}, {5000, 5000}, {0, 10}, {0x80000000u, 2}};
  for (const auto& c : cases) {
    // A header, a little image data and an end: the header alone must decide.
    EXPECT_EQ(Decoded(bbtest::Png(c.width, c.height, 6, {0, 1, 2, 3, 4})).pixels, nullptr) << c.width << " x " << c.height;
    EXPECT_LT(bbLastImageDecodePeakBlock(), 64u * 1024) << c.width << " x " << c.height;
  }
  // The largest accepted shape still decodes: one row of 8192 grey pixels.
  Bytes row(1 + 8192, 7);
  row[0] = 0;
  Decoded d(bbtest::Png(8192, 1, 0, row));
  ASSERT_NE(d.pixels, nullptr);
  EXPECT_EQ(d.pixels[8191], 7);
}

TEST(ImageData_Hostile, RefusesChunksThatClaimMoreThanTheFileHoldsAndDataBeforeTheHeader) {
  EXPECT_EQ(Decoded(bbtest::PngOf({{"IHDR", bbtest::Ihdr(1, 1, 0)},
                                   {"IDAT", {0x78, 0x01, 0x01, 0x02, 0x00}, 0x7ffffff0},
                                   {"IEND", {}}}))
                .pixels,
            nullptr);
  EXPECT_LT(bbLastImageDecodePeakBlock(), 64u * 1024);
  EXPECT_EQ(Decoded(bbtest::PngOf({{"IDAT", bbtest::ZlibStored({0, 1})}, {"IHDR", bbtest::Ihdr(1, 1, 0)}, {"IEND", {}}}))
                .pixels,
            nullptr);
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
  put(3, 3);                                      // the last block, fixed codes
  put(0x0C, 8);                                   // literal 0
  for (int i = 0; i < 260000; ++i) put(0xA3, 13);  // length 258 at distance 1
  put(0, 14);                                     // end of block, then padding
  bbtest::PutBe32(z, 0);                          // checksum (never reached)
  const Bytes png = bbtest::PngOf({{"IHDR", bbtest::Ihdr(1, 1, 6)}, {"IDAT", z}, {"IEND", {}}});
  EXPECT_EQ(Decoded(png).pixels, nullptr);
  EXPECT_LT(bbLastImageDecodePeakBlock(), 4u * png.size());
}

// A 4 x 1 image of palette indices 0, 1, 2 and 200 over a palette of two entries.
Bytes PalettePng(const std::vector<bbtest::Chunk>& extra) {
  std::vector<bbtest::Chunk> chunks = {{"IHDR", bbtest::Ihdr(4, 1, 3)}, {"PLTE", {10, 20, 30, 40, 50, 60}}};
  chunks.insert(chunks.end(), extra.begin(), extra.end());
  chunks.insert(chunks.end(), {{"IDAT", bbtest::ZlibStored({0, 0, 1, 2, 200})}, {"IEND", {}}});
  return bbtest::PngOf(chunks);
}

TEST(ImageData_Hostile, IndicesBeyondAShortPaletteAreOpaqueBlackAndMisfitPaletteChunksAreRefused) {
  // Decoded twice, so that leftovers of an earlier decode cannot pass for the answer.
  for (int round = 0; round < 2; ++round) {
    Decoded d(PalettePng({}));
    ASSERT_NE(d.pixels, nullptr);
    EXPECT_EQ(d.First(12), (Bytes{10, 20, 30, 40, 50, 60, 0, 0, 0, 0, 0, 0}));
  }
  Decoded t(PalettePng({{"tRNS", {128}}}));
  ASSERT_NE(t.pixels, nullptr);
  EXPECT_EQ(t.First(16), (Bytes{10, 20, 30, 128, 40, 50, 60, 255, 0, 0, 0, 255, 0, 0, 0, 255}));
  EXPECT_EQ(Decoded(PalettePng({{"tRNS", {1, 2, 3}}})).pixels, nullptr) << "more alpha values than entries";
  EXPECT_EQ(Decoded(PalettePng({{"PLTE", {1, 2, 3}}})).pixels, nullptr) << "a second palette";
}

}  // namespace
