// Sound output of the generator: the sound effects (16-bit PCM WAV) and the tunes (Ogg Vorbis),
// and the writers for both formats.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

constexpr int kSfxRate = 44100;
constexpr int kTuneRate = 44100;

// Mono 16-bit PCM WAV.
bool writeWav(const std::string& path, const std::vector<float>& samples, int rate);
// Stereo Ogg Vorbis at the given quality (-0.1 to 1.0); the stream serial number is fixed so the
// file depends only on the samples.
bool writeOgg(const std::string& path, const std::vector<float>& left, const std::vector<float>& right, int rate,
              float quality);

struct SoundEffect {
  int number;
  std::vector<float> samples;  // mono, kSfxRate, in -1..1
};
std::vector<SoundEffect> makeSoundEffects();

struct Tune {
  std::string name;  // "tune01" ...
  std::vector<float> left, right;
};
// Tune n (1-6), rendered at kTuneRate.
Tune makeTune(int n);

}  // namespace assetgen
