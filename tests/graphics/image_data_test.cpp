// Image decoding: channel counts of real encoder output, the host's loading entry and its
// force-sweep flag, and refusal of truncated, absurd and hostile files without crashing or
// allocating what their headers claim. Premultiplication on load is checked on screen in
// surface_gl_test.cpp.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "runtime/graphics/image_data.h"
#include "runtime/graphics/surface.h"
#include "support.h"

namespace {

using bbtest::Host;

struct Decoded {
  unsigned char* pixels = nullptr;
  int width = 0, height = 0, depth = 0;
  ~Decoded() { std::free(pixels); }
};

void DecodeBytes(const std::vector<unsigned char>& bytes, Decoded* out) {
  out->pixels = bbDecodeImageMemory(bytes.data(), bytes.size(), &out->width, &out->height, &out->depth);
}

TEST(ImageData_Decode, KeepsEachFilesOwnChannelCount) {
  struct Case {
    const char* file;
    int width, height, depth;
  } cases[] = {{"data/font_768x8.png", 768, 8, 1},
               {"data/grey_alpha_4x4.png", 4, 4, 2},
               {"data/strip_64x16.png", 64, 16, 3},
               {"data/rgba_2x2.png", 2, 2, 4}};
  for (const Case& c : cases) {
    Decoded d;
    DecodeBytes(bbtest::ReadFile(c.file), &d);
    ASSERT_NE(d.pixels, nullptr) << c.file;
    EXPECT_EQ(d.width, c.width) << c.file;
    EXPECT_EQ(d.height, c.height) << c.file;
    EXPECT_EQ(d.depth, c.depth) << c.file;
  }
}

TEST(ImageData_Host, LoadsThroughTheHostAndSetsForceSweepOnlyForAnOpenedFile) {
  BBDesktopGame* host = Host();
  int w = 0, h = 0, depth = 0;
  gc_force_sweep = false;
  EXPECT_EQ(host->LoadImageData(String("data/no_such_image.png"), &w, &h, &depth), nullptr);
  EXPECT_FALSE(gc_force_sweep);

  unsigned char* pixels = host->LoadImageData(String("data/rgba_2x2.png"), &w, &h, &depth);
  ASSERT_NE(pixels, nullptr);
  EXPECT_TRUE(gc_force_sweep);
  EXPECT_EQ(w, 2);
  EXPECT_EQ(h, 2);
  EXPECT_EQ(depth, 4);
  EXPECT_EQ(pixels[4], 255);  // decoded pixels are not yet premultiplied
  EXPECT_EQ(pixels[8 + 3], 128);
  std::free(pixels);

  // An opened file that does not decode still counts as a load.
  gc_force_sweep = false;
  std::string text = bbtest::WriteTempFile({'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'}, "zudodo_text.png");
  EXPECT_EQ(host->LoadImageData(String::FromUtf8(text), &w, &h, &depth), nullptr);
  EXPECT_TRUE(gc_force_sweep);
}

TEST(ImageData_Hostile, RefusesEveryTruncationOfARealFile) {
  std::vector<unsigned char> png = bbtest::ReadFile("data/marker_16x16.png");
  ASSERT_GT(png.size(), 60u);
  for (size_t n = 0; n < png.size(); ++n) {
    std::vector<unsigned char> cut(png.begin(), png.begin() + static_cast<long>(n));
    Decoded d;
    DecodeBytes(cut, &d);
    EXPECT_EQ(d.pixels, nullptr) << "truncated to " << n << " bytes";
  }
}

TEST(ImageData_Hostile, SurvivesCorruptedBytes) {
  std::vector<unsigned char> png = bbtest::ReadFile("data/grid_64x64.png");
  ASSERT_FALSE(png.empty());
  uint32_t seed = 12345;
  for (int round = 0; round < 400; ++round) {
    std::vector<unsigned char> bad = png;
    for (int k = 0; k < 1 + round % 4; ++k) {
      seed = seed * 1664525u + 1013904223u;
      size_t at = 8 + (seed >> 8) % (bad.size() - 8);
      bad[at] = static_cast<unsigned char>(bad[at] ^ (1u << ((seed >> 4) & 7)));
    }
    Decoded d;
    DecodeBytes(bad, &d);
    if (d.pixels) {
      EXPECT_EQ(d.width, 64);
      EXPECT_EQ(d.height, 64);
    }
    EXPECT_LT(bbLastImageDecodePeakBlock(), 2u * 1024 * 1024) << "round " << round;
  }
}

TEST(ImageData_Hostile, RefusesAbsurdSizesBeforeAllocatingPixels) {
  struct Case {
    uint32_t width, height;
  } cases[] = {{100000, 100000}, {8193, 1}, {1, 8193}, {5000, 5000}, {0, 10}, {0x80000000u, 2}};
  for (const Case& c : cases) {
    // Header, a little image data and an end: the header alone must decide.
    std::vector<unsigned char> png = bbtest::Png(c.width, c.height, 6, {0, 1, 2, 3, 4});
    Decoded d;
    DecodeBytes(png, &d);
    EXPECT_EQ(d.pixels, nullptr) << c.width << " x " << c.height;
    EXPECT_LT(bbLastImageDecodePeakBlock(), 64u * 1024) << c.width << " x " << c.height;
  }
  // The largest accepted shape still decodes (one row of 8192 grey pixels).
  std::vector<unsigned char> row(1 + 8192, 7);
  row[0] = 0;
  Decoded d;
  DecodeBytes(bbtest::Png(8192, 1, 0, row), &d);
  ASSERT_NE(d.pixels, nullptr);
  EXPECT_EQ(d.width, 8192);
  EXPECT_EQ(d.pixels[8191], 7);
}

TEST(ImageData_Hostile, RefusesChunksThatClaimMoreThanTheFileHolds) {
  std::vector<unsigned char> png = bbtest::PngSignature();
  bbtest::PutChunk(png, "IHDR", bbtest::Ihdr(1, 1, 0));
  bbtest::PutChunk(png, "IDAT", {0x78, 0x01, 0x01, 0x02, 0x00}, 0x7ffffff0);
  bbtest::PutChunk(png, "IEND", {});
  Decoded d;
  DecodeBytes(png, &d);
  EXPECT_EQ(d.pixels, nullptr);
  EXPECT_LT(bbLastImageDecodePeakBlock(), 64u * 1024);

  // No header first, or a header of the wrong length.
  std::vector<unsigned char> noHeader = bbtest::PngSignature();
  bbtest::PutChunk(noHeader, "IDAT", bbtest::ZlibStored({0, 1}));
  bbtest::PutChunk(noHeader, "IHDR", bbtest::Ihdr(1, 1, 0));
  bbtest::PutChunk(noHeader, "IEND", {});
  DecodeBytes(noHeader, &d);
  EXPECT_EQ(d.pixels, nullptr);
}

// A 1 x 1 image whose compressed data inflates to 64 MiB: decoding fails once the output outgrows
// what a 1 x 1 image can need, long before the whole stream is inflated.
TEST(ImageData_Hostile, StopsACompressionBombEarly) {
  std::vector<unsigned char> z = {0x78, 0x01};
  uint64_t bits = 0;
  int used = 0;
  auto put = [&](uint32_t value, int n) {  // least significant bit first
    bits |= uint64_t{value} << used;
    used += n;
    while (used >= 8) {
      z.push_back(static_cast<unsigned char>(bits));
      bits >>= 8;
      used -= 8;
    }
  };
  auto putCode = [&](uint32_t code, int n) {  // Huffman codes go most significant bit first
    uint32_t reversed = 0;
    for (int i = 0; i < n; ++i) reversed |= ((code >> i) & 1u) << (n - 1 - i);
    put(reversed, n);
  };
  put(1, 1);                 // last block
  put(1, 2);                 // fixed Huffman codes
  putCode(0x30, 8);          // literal 0
  for (int i = 0; i < 260000; ++i) {
    putCode(0xC5, 8);        // length 258 (code 285)
    putCode(0, 5);           // distance 1
  }
  putCode(0, 7);             // end of block
  put(0, 7);
  bbtest::PutBe32(z, 0);     // checksum (not reached)
  std::vector<unsigned char> png = bbtest::PngSignature();
  bbtest::PutChunk(png, "IHDR", bbtest::Ihdr(1, 1, 6));
  bbtest::PutChunk(png, "IDAT", z);
  bbtest::PutChunk(png, "IEND", {});

  Decoded d;
  DecodeBytes(png, &d);
  EXPECT_EQ(d.pixels, nullptr);
  EXPECT_LT(bbLastImageDecodePeakBlock(), 4u * png.size());
}

TEST(ImageData_Hostile, RefusesOtherFormatsAndEmptyFiles) {
  Decoded d;
  DecodeBytes({'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ';'}, &d);
  EXPECT_EQ(d.pixels, nullptr);
  DecodeBytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0}, &d);
  EXPECT_EQ(d.pixels, nullptr);
  DecodeBytes({'P', '6', '\n', '1', ' ', '1', '\n', '2', '5', '5', '\n', 1, 2, 3}, &d);
  EXPECT_EQ(d.pixels, nullptr);
  std::string empty = bbtest::WriteTempFile({}, "zudodo_empty.png");
  int w, h, depth;
  EXPECT_EQ(Host()->LoadImageData(String::FromUtf8(empty), &w, &h, &depth), nullptr);
}

TEST(ImageData_Decode, HandMadeFilesDecodeToTheirScanlines) {
  // 2 x 2 grey+alpha, unfiltered rows.
  Decoded d;
  DecodeBytes(bbtest::Png(2, 2, 4, {0, 10, 20, 30, 40, 0, 50, 60, 70, 80}), &d);
  ASSERT_NE(d.pixels, nullptr);
  EXPECT_EQ(d.depth, 2);
  const unsigned char expected[8] = {10, 20, 30, 40, 50, 60, 70, 80};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(d.pixels[i], expected[i]);
}

// A 4 x 1 palette image (8-bit indices 0, 1, 2, 200) with the given PLTE and tRNS bodies.
std::vector<unsigned char> PalettePng(const std::vector<unsigned char>& plte, const std::vector<unsigned char>& trns) {
  std::vector<unsigned char> png = bbtest::PngSignature();
  bbtest::PutChunk(png, "IHDR", bbtest::Ihdr(4, 1, 3));
  bbtest::PutChunk(png, "PLTE", plte);
  if (!trns.empty()) bbtest::PutChunk(png, "tRNS", trns);
  bbtest::PutChunk(png, "IDAT", bbtest::ZlibStored({0, 0, 1, 2, 200}));
  bbtest::PutChunk(png, "IEND", {});
  return png;
}

TEST(ImageData_Hostile, PaletteIndicesBeyondAShortPaletteAreBlack) {
  // Two entries; indices 2 and 200 lie beyond them. Decoded twice, so that leftovers of an earlier
  // decode cannot pass for the answer.
  std::vector<unsigned char> png = PalettePng({10, 20, 30, 40, 50, 60}, {});
  for (int round = 0; round < 2; ++round) {
    Decoded d;
    DecodeBytes(png, &d);
    ASSERT_NE(d.pixels, nullptr);
    ASSERT_EQ(d.depth, 3);
    const unsigned char expected[12] = {10, 20, 30, 40, 50, 60, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(d.pixels[i], expected[i]) << "byte " << i;
  }
  // With transparency the padded entries are opaque black.
  Decoded t;
  DecodeBytes(PalettePng({10, 20, 30, 40, 50, 60}, {128}), &t);
  ASSERT_NE(t.pixels, nullptr);
  ASSERT_EQ(t.depth, 4);
  const unsigned char expected[16] = {10, 20, 30, 128, 40, 50, 60, 255, 0, 0, 0, 255, 0, 0, 0, 255};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(t.pixels[i], expected[i]) << "byte " << i;
}

TEST(ImageData_Hostile, RefusesPaletteChunksThatDoNotFit) {
  Decoded longAlpha, twoPalettes;
  DecodeBytes(PalettePng({10, 20, 30, 40, 50, 60}, {1, 2, 3}), &longAlpha);
  EXPECT_EQ(longAlpha.pixels, nullptr) << "more alpha values than palette entries";
  std::vector<unsigned char> png = bbtest::PngSignature();
  bbtest::PutChunk(png, "IHDR", bbtest::Ihdr(4, 1, 3));
  bbtest::PutChunk(png, "PLTE", {1, 2, 3});
  bbtest::PutChunk(png, "PLTE", {1, 2, 3});
  bbtest::PutChunk(png, "IDAT", bbtest::ZlibStored({0, 0, 0, 0, 0}));
  bbtest::PutChunk(png, "IEND", {});
  DecodeBytes(png, &twoPalettes);
  EXPECT_EQ(twoPalettes.pixels, nullptr) << "a second palette";
}

}  // namespace
