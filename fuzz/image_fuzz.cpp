// image_fuzz.cpp: any bytes through the image decoder, as a whole file, then from memory.
//
// Promises checked: both paths agree; a decoded image lies within the size limits, has 1 to 4
// bytes per pixel and a block of exactly width x height x depth readable bytes.
#include <cstring>

#include "fuzz_support.h"
#include "runtime/graphics/image_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = bbFuzzOpen(data, size);
  FUZZ_CHECK(file != nullptr);
  int width = -1, height = -1, depth = -1;
  unsigned char* pixels = bbDecodeImageFile(file, &width, &height, &depth);
  std::fclose(file);
  int w2 = -1, h2 = -1, d2 = -1;
  unsigned char* again = bbDecodeImageMemory(data, size, &w2, &h2, &d2);
  FUZZ_CHECK((pixels == nullptr) == (again == nullptr));
  if (!pixels) return 0;
  FUZZ_CHECK(width == w2 && height == h2 && depth == d2);
  FUZZ_CHECK(width >= 1 && width <= BBImageLimits::kMaxImageSide);
  FUZZ_CHECK(height >= 1 && height <= BBImageLimits::kMaxImageSide);
  FUZZ_CHECK(int64_t(width) * height <= BBImageLimits::kMaxImagePixels);
  FUZZ_CHECK(depth >= 1 && depth <= 4);
  size_t bytes = size_t(width) * size_t(height) * size_t(depth);
  FUZZ_CHECK(std::memcmp(pixels, again, bytes) == 0);
  std::free(pixels);
  std::free(again);
  return 0;
}
