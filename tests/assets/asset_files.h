// Readers for the asset tests: PNG pictures through stb_image, and sounds through the game's own
// loader, so that every sound file is judged as the game will read it.
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

// A WAVE or Ogg Vorbis file as the host's LoadAudioData decodes it.
struct Sound {
  bool ok = false;
  int channels = 0, rate = 0;
  std::vector<int16_t> samples;  // interleaved; empty unless 16-bit
  double seconds() const { return ok ? static_cast<double>(samples.size()) / channels / rate : 0.0; }
};
Sound readSound(const std::string& path);

std::vector<uint8_t> readBytes(const std::string& path);

}  // namespace assets_test
