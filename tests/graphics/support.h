// support.h: helpers shared by the graphics tests: the host object, runtime-error expectations and
// a small writer of PNG containers for hand-made (mostly hostile) files.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/host/game.h"
#include "runtime/object/gc.h"
#include "scratch.h"

namespace bbtest {

// The one host object of a test program; image loading goes through it.
inline BBDesktopGame* Host() {
  static BBDesktopGame* host = [] {
    gc_init();
    return new BBDesktopGame;
  }();
  return host;
}

// Runs the statement in a child and expects the runtime error path with this message: the report
// goes to standard output (redirected to standard error here) and, with no debugger commands on
// standard input, the process ends with status -1.
#define BB_EXPECT_RUNTIME_ERROR(statement, message)                              \
  EXPECT_EXIT(                                                                   \
      {                                                                          \
        if (!std::freopen("/dev/null", "r", stdin)) std::_Exit(3);               \
        dup2(2, 1);                                                              \
        statement;                                                               \
        std::_Exit(0);                                                           \
      },                                                                         \
      ::testing::ExitedWithCode(255), "Runtime Error : " message)

inline uint32_t Crc32(const unsigned char* p, size_t n, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline void PutBe32(std::vector<unsigned char>& out, uint32_t v) {
  out.push_back(static_cast<unsigned char>(v >> 24));
  out.push_back(static_cast<unsigned char>(v >> 16));
  out.push_back(static_cast<unsigned char>(v >> 8));
  out.push_back(static_cast<unsigned char>(v));
}

// Appends a chunk with a correct CRC; declaredLength overrides the length field when not -1.
inline void PutChunk(std::vector<unsigned char>& out, const char* type,
                     const std::vector<unsigned char>& data, int64_t declaredLength = -1) {
  PutBe32(out, declaredLength < 0 ? static_cast<uint32_t>(data.size())
                                  : static_cast<uint32_t>(declaredLength));
  std::vector<unsigned char> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  PutBe32(out, Crc32(body.data(), body.size()));
}

inline std::vector<unsigned char> PngSignature() { return {137, 80, 78, 71, 13, 10, 26, 10}; }

inline std::vector<unsigned char> Ihdr(uint32_t width, uint32_t height, int colorType) {
  std::vector<unsigned char> d;
  PutBe32(d, width);
  PutBe32(d, height);
  d.insert(d.end(), {8, static_cast<unsigned char>(colorType), 0, 0, 0});
  return d;
}

// A zlib stream of stored blocks holding bytes.
inline std::vector<unsigned char> ZlibStored(const std::vector<unsigned char>& bytes) {
  std::vector<unsigned char> z = {0x78, 0x01};
  size_t pos = 0;
  do {
    size_t n = bytes.size() - pos > 65535 ? 65535 : bytes.size() - pos;
    bool last = pos + n == bytes.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<unsigned char>(n));
    z.push_back(static_cast<unsigned char>(n >> 8));
    z.push_back(static_cast<unsigned char>(~n));
    z.push_back(static_cast<unsigned char>(~n >> 8));
    z.insert(z.end(), bytes.begin() + static_cast<long>(pos), bytes.begin() + static_cast<long>(pos + n));
    pos += n;
  } while (pos < bytes.size());
  uint32_t s1 = 1, s2 = 0;
  for (unsigned char b : bytes) s1 = (s1 + b) % 65521, s2 = (s2 + s1) % 65521;
  PutBe32(z, (s2 << 16) | s1);
  return z;
}

// A complete PNG of the given header and raw scanlines (each starting with its filter byte).
inline std::vector<unsigned char> Png(uint32_t width, uint32_t height, int colorType,
                                      const std::vector<unsigned char>& scanlines) {
  std::vector<unsigned char> png = PngSignature();
  PutChunk(png, "IHDR", Ihdr(width, height, colorType));
  PutChunk(png, "IDAT", ZlibStored(scanlines));
  PutChunk(png, "IEND", {});
  return png;
}

inline std::string WriteTempFile(const std::vector<unsigned char>& bytes, const char* name) {
  std::string path = bbtest::ScratchFolder() + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f) {
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return path;
}

inline std::vector<unsigned char> ReadFile(const char* path) {
  std::vector<unsigned char> bytes;
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return bytes;
  int c;
  while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
  std::fclose(f);
  return bytes;
}

}  // namespace bbtest
