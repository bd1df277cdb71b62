// image_data.cpp: the PNG decoder (stb_image, built here and nowhere else) behind size checks, and
// the host's image loading entry.
#include "image_data.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/host/game.h"
#include "runtime/object/gc.h"

namespace {

// The decoder allocates through these: no block may exceed the cap set for the file at hand.
thread_local size_t tBlockCap = 0;
thread_local size_t tPeakBlock = 0;

void* bbStbMalloc(size_t size) {
  if (size > tBlockCap) return nullptr;
  if (size > tPeakBlock) tPeakBlock = size;
  return std::malloc(size);
}

void* bbStbRealloc(void* block, size_t size) {
  if (size > tBlockCap) return nullptr;
  if (size > tPeakBlock) tPeakBlock = size;
  return std::realloc(block, size);
}

}  // namespace

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_MAX_DIMENSIONS 8192
#define STBI_MALLOC(size) bbStbMalloc(size)
#define STBI_REALLOC(block, size) bbStbRealloc(block, size)
#define STBI_FREE(block) std::free(block)
#include <stb/stb_image.h>

static_assert(STBI_MAX_DIMENSIONS == BBImageLimits::kMaxImageSide, "one side limit");

namespace {

constexpr unsigned char kPngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

uint32_t bbReadBe32(const unsigned char* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// Checks that bytes hold a PNG whose chunks all lie inside them, whose first chunk is a sound
// header, whose first data chunk is not empty and whose size is within the limits; returns the
// largest block its decoding can need.
size_t bbPngDecodeBudget(const unsigned char* bytes, size_t length) {
  if (length < 8 + 12 + 13 || std::memcmp(bytes, kPngSignature, 8) != 0) return 0;
  size_t pos = 8;
  bool first = true, data = false;
  uint32_t width = 0, height = 0;
  for (;;) {
    if (length - pos < 12) return 0;
    uint32_t chunkLength = bbReadBe32(bytes + pos);
    const unsigned char* type = bytes + pos + 4;
    if (chunkLength > length - pos - 12) return 0;  // runs past the end: truncated or hostile
    if (first) {
      if (std::memcmp(type, "IHDR", 4) != 0 || chunkLength != 13) return 0;
      width = bbReadBe32(bytes + pos + 8);
      height = bbReadBe32(bytes + pos + 12);
      first = false;
    }
    if (std::memcmp(type, "IDAT", 4) == 0) {
      // An empty first data chunk would have the decoder copy into a buffer it never made.
      if (!data && chunkLength == 0) return 0;
      data = true;
    }
    pos += 12 + size_t{chunkLength};
    if (std::memcmp(type, "IEND", 4) == 0) break;
  }
  if (width < 1 || height < 1) return 0;
  if (width > static_cast<uint32_t>(BBImageLimits::kMaxImageSide) ||
      height > static_cast<uint32_t>(BBImageLimits::kMaxImageSide)) {
    return 0;
  }
  uint64_t pixels = uint64_t{width} * height;
  if (pixels > static_cast<uint64_t>(BBImageLimits::kMaxImagePixels)) return 0;
  // At most 4 channels of 16 bits per pixel plus a filter byte per row, twice for the decoder's
  // growth by doubling; the compressed data grows the same way while it is gathered.
  uint64_t raw = pixels * 8 + uint64_t{height} * 2 + 64;
  return static_cast<size_t>(2 * raw + 2 * uint64_t{length} + 65536);
}

// The decoder keeps a palette of 256 entries but fills only those the PLTE chunk gives; a pixel
// whose index lies beyond them would take its colour from whatever the memory held. So a palette
// image whose PLTE is shorter gets a copy of its bytes in which the PLTE is padded with opaque
// black up to 256 entries: valid pixels never use those entries, and out-of-range ones become
// black, the same on every decode. A transparency chunk longer than the palette it follows is
// refused, as the decoder refuses it for the unpadded palette, and so is a second PLTE.
// Returns 0 when the bytes can be decoded as they are, 1 when *padded holds the copy to decode,
// -1 when the file must be refused. The chunk structure has already been checked.
int bbPadPngPalettes(const unsigned char* bytes, std::vector<unsigned char>* padded) {
  constexpr size_t kColourTypeAt = 8 + 8 + 9;  // signature, IHDR length and type, then the field
  if (bytes[kColourTypeAt] != 3) return 0;
  bool shortPalette = false;
  uint32_t entries = 0;  // of the PLTE, once seen
  int palettes = 0;
  for (size_t pos = 8;;) {
    uint32_t chunkLength = bbReadBe32(bytes + pos);
    const unsigned char* type = bytes + pos + 4;
    if (std::memcmp(type, "PLTE", 4) == 0) {
      if (palettes++ > 0) return -1;  // a PNG has one palette at most
      entries = chunkLength / 3;
      if (chunkLength % 3 == 0 && entries < 256) shortPalette = true;
    } else if (std::memcmp(type, "tRNS", 4) == 0 && chunkLength > entries) {
      return -1;
    }
    pos += 12 + size_t{chunkLength};
    if (std::memcmp(type, "IEND", 4) == 0) break;
  }
  if (!shortPalette) return 0;
  padded->clear();
  padded->insert(padded->end(), bytes, bytes + 8);
  for (size_t pos = 8;;) {
    uint32_t chunkLength = bbReadBe32(bytes + pos);
    const unsigned char* type = bytes + pos + 4;
    if (std::memcmp(type, "PLTE", 4) == 0 && chunkLength % 3 == 0 && chunkLength < 768) {
      // The decoder does not check chunk CRCs; the old one is kept.
      const unsigned char header[8] = {0, 0, 3, 0, 'P', 'L', 'T', 'E'};
      padded->insert(padded->end(), header, header + 8);
      padded->insert(padded->end(), bytes + pos + 8, bytes + pos + 8 + chunkLength);
      padded->insert(padded->end(), 768 - chunkLength, 0);
      padded->insert(padded->end(), bytes + pos + 8 + chunkLength, bytes + pos + 12 + chunkLength);
    } else {
      padded->insert(padded->end(), bytes + pos, bytes + pos + 12 + chunkLength);
    }
    pos += 12 + size_t{chunkLength};
    if (std::memcmp(type, "IEND", 4) == 0) break;
  }
  return 1;
}

}  // namespace

unsigned char* bbDecodeImageMemory(const unsigned char* bytes, size_t length, int* width,
                                   int* height, int* depth) {
  tPeakBlock = 0;
  size_t budget = bbPngDecodeBudget(bytes, length);
  if (budget == 0 || length > static_cast<size_t>(BBImageLimits::kMaxImageFileBytes)) return nullptr;
  std::vector<unsigned char> padded;
  int pad = bbPadPngPalettes(bytes, &padded);
  if (pad < 0) return nullptr;
  if (pad > 0) {
    bytes = padded.data();
    length = padded.size();
  }
  tBlockCap = budget;
  int w = 0, h = 0, n = 0;
  unsigned char* pixels = stbi_load_from_memory(bytes, static_cast<int>(length), &w, &h, &n, 0);
  tBlockCap = 0;
  if (!pixels) return nullptr;
  *width = w;
  *height = h;
  *depth = n;
  return pixels;
}

unsigned char* bbDecodeImageFile(std::FILE* file, int* width, int* height, int* depth) {
  std::vector<unsigned char> bytes;
  unsigned char buffer[16384];
  for (;;) {
    size_t got = std::fread(buffer, 1, sizeof buffer, file);
    if (got == 0) break;
    if (bytes.size() + got > static_cast<size_t>(BBImageLimits::kMaxImageFileBytes)) return nullptr;
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  if (bytes.empty()) return nullptr;
  return bbDecodeImageMemory(bytes.data(), bytes.size(), width, height, depth);
}

size_t bbLastImageDecodePeakBlock() { return tPeakBlock; }

unsigned char* BBGlfwGame::LoadImageData(String path, int* width, int* height, int* depth) {
  std::FILE* file = OpenFile(path, String("rb"));
  if (!file) return nullptr;
  unsigned char* pixels = bbDecodeImageFile(file, width, height, depth);
  std::fclose(file);
  gc_force_sweep = true;
  return pixels;
}
