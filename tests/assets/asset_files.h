// Readers for the asset tests: PNG pictures through stb_image, and a small reader for 16-bit PCM
// WAVE files (RIFF chunks), kept here until the runtime's own WAVE reader can be used instead.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets_test {

std::string dataPath(const std::string& relative);

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;  // empty when the file could not be read
  bool ok() const { return !rgba.empty(); }
  const uint8_t* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
  uint8_t alpha(int x, int y) const { return at(x, y)[3]; }
};
Picture loadPicture(const std::string& path);

struct Wave {
  bool ok = false;
  std::string error;
  int channels = 0, rate = 0, bits = 0;
  std::vector<int16_t> samples;  // interleaved
};
Wave readWave(const std::string& path);

std::vector<uint8_t> readBytes(const std::string& path);

}  // namespace assets_test
