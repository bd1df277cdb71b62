// image_data.h: decoding image files into 8-bit pixel blocks for surfaces.
//
// The game loads PNG files only, so only the PNG reader is built. Hostile or absurd files are
// refused like undecodable ones before their pixels are allocated: the chunk structure must lie
// inside the file, each side is at most kMaxImageSide pixels, the image at most kMaxImagePixels,
// and no block the decoder asks for may exceed what the header's size can need (a compressed
// stream that inflates beyond that fails instead of growing).
// Depends on: stb_image (PNG only), the C library. Must not touch: OpenGL, collected objects.
// Safe on any thread.
#pragma once

#include <cstdint>
#include <cstdio>

struct BBImageLimits {
  static constexpr int kMaxImageSide = 8192;
  static constexpr int64_t kMaxImagePixels = 4096 * 4096;
  static constexpr int64_t kMaxImageFileBytes = 64 * 1024 * 1024;
};

// Decodes a whole open file at its own channel count (1 grey, 2 grey+alpha, 3 RGB, 4 RGBA) into
// a malloc'd block of rows, top row first; null when the file is not an acceptable PNG.
unsigned char* bbDecodeImageFile(std::FILE* file, int* width, int* height, int* depth);
// The same for bytes in memory.
unsigned char* bbDecodeImageMemory(const unsigned char* bytes, size_t length, int* width,
                                   int* height, int* depth);
// The largest block the decoder was given during the last decode on this thread (diagnostics).
size_t bbLastImageDecodePeakBlock();
