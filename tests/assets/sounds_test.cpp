// The sound effects and tunes the game loads, read by the game's own loader: every WAV is
// audible 16-bit PCM, the paired and rising effects behave as their uses need, and every tune
// decodes as Ogg Vorbis at 44.1 kHz with a level-length duration and a size the loader takes
// comfortably.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "asset_files.h"

using assets_test::dataPath;
using assets_test::readSound;
using assets_test::Sound;

namespace {

std::string sfxFile(int n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "sfx/%03d.wav", n);
  return dataPath(buf);
}

std::vector<int> loadedEffects() {
  std::vector<int> v;
  for (int n = 1; n <= 21; ++n) v.push_back(n);
  for (int n : {95, 96, 98, 99}) v.push_back(n);
  return v;
}

double peakOf(const std::vector<int16_t>& s) {
  int m = 0;
  for (int16_t v : s) m = std::max(m, std::abs(static_cast<int>(v)));
  return m / 32768.0;
}

// Zero crossings per second of the loudest stretch: a rough pitch measure.
double crossingsPerSecond(const Sound& w) {
  int crossings = 0;
  for (size_t i = 1; i < w.samples.size(); ++i)
    if ((w.samples[i - 1] < 0) != (w.samples[i] < 0)) ++crossings;
  return crossings * static_cast<double>(w.rate) / static_cast<double>(w.samples.size());
}

TEST(Assets_Sounds, EveryEffectIsAudible16BitPcm) {
  for (int n : loadedEffects()) {
    SCOPED_TRACE("effect " + std::to_string(n));
    const Sound w = readSound(sfxFile(n));
    ASSERT_TRUE(w.ok) << "the game's loader refuses it";
    EXPECT_EQ(w.bits, 16);
    EXPECT_TRUE(w.channels == 1 || w.channels == 2);
    EXPECT_GE(w.rate, 11025);
    EXPECT_LE(w.rate, 48000);
    EXPECT_GT(w.seconds(), 0.01);
    EXPECT_LT(w.seconds(), 4.0) << "an effect, not a tune";
    EXPECT_GT(peakOf(w.samples), 0.3) << "too quiet to be of use";
    EXPECT_LT(peakOf(w.samples), 0.999) << "clipped";
  }
}

TEST(Assets_Sounds, EffectsFitTheirUses) {
  const auto seconds = [](int n) { return readSound(sfxFile(n)).seconds(); };
  // Played on every pill and menu move: short enough not to pile up.
  for (int n : {4, 5, 99}) EXPECT_LT(seconds(n), 0.2) << n;
  // The start-up jingle and the home fanfare are little tunes of their own.
  EXPECT_GT(seconds(96), 1.0);
  EXPECT_GT(seconds(2), 0.8);
  // The pill pair alternates, so the two must sound different.
  const Sound a = readSound(sfxFile(4)), b = readSound(sfxFile(5));
  ASSERT_TRUE(a.ok && b.ok);
  EXPECT_NE(a.samples, b.samples);
  EXPECT_GT(crossingsPerSecond(b), crossingsPerSecond(a) * 1.1);
}

TEST(Assets_Sounds, FriendJingleRisesWithEachFriend) {
  double previous = 0.0;
  for (int n = 15; n <= 18; ++n) {
    const Sound w = readSound(sfxFile(n));
    ASSERT_TRUE(w.ok);
    const double pitch = crossingsPerSecond(w);
    EXPECT_GT(pitch, previous) << "effect " << n;
    previous = pitch;
  }
}

TEST(Assets_Tunes, EveryTuneDecodesWithALevelLengthDuration) {
  std::vector<std::vector<int16_t>> decoded;
  for (int n = 1; n <= 6; ++n) {
    const std::string path = dataPath("sfx/tune0" + std::to_string(n) + ".ogg");
    SCOPED_TRACE(path);
    const std::vector<uint8_t> bytes = assets_test::readBytes(path);
    ASSERT_FALSE(bytes.empty());
    EXPECT_LT(bytes.size(), 1000000u);
    const Sound tune = readSound(path);
    ASSERT_TRUE(tune.ok) << "the game's loader does not decode it";
    const int rate = tune.rate, channels = tune.channels;
    const std::vector<int16_t>& samples = tune.samples;
    EXPECT_EQ(rate, 44100);
    EXPECT_GE(channels, 1);
    EXPECT_GE(tune.seconds(), 60.0);
    EXPECT_LE(tune.seconds(), 120.0);
    // Music all the way through: no silent stretch of more than two seconds before the ending.
    const size_t window = static_cast<size_t>(rate) * channels / 2;
    int quietWindows = 0, worst = 0;
    for (size_t i = 0; i + window < samples.size() - static_cast<size_t>(3 * rate * channels); i += window) {
      double sum = 0;
      for (size_t j = i; j < i + window; ++j) sum += static_cast<double>(samples[j]) * samples[j];
      const double rms = std::sqrt(sum / window) / 32768.0;
      quietWindows = rms < 0.01 ? quietWindows + 1 : 0;
      worst = std::max(worst, quietWindows);
    }
    EXPECT_LE(worst, 4);
    decoded.push_back(samples);
  }
  for (size_t i = 0; i < decoded.size(); ++i)
    for (size_t j = i + 1; j < decoded.size(); ++j) EXPECT_NE(decoded[i].size(), decoded[j].size()) << i << " " << j;
}

}  // namespace
