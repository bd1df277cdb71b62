// The sound effects and tunes the game loads, read by the game's own loader: every effect is
// audible, unclipped 16-bit PCM of an effect's length, the alternating pill pair differs and the
// friend jingle rises; every tune is 44.1 kHz Ogg Vorbis of a level's length with no silent stretch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "asset_files.h"

using assets_test::readSound;
using assets_test::Sound;

namespace {

Sound Effect(int n) { return readSound(assets_test::dataPath("sfx/" + std::to_string(1000 + n).substr(1) + ".wav")); }

// Zero crossings per second: a rough pitch measure.
double Pitch(const Sound& w) {
  int crossings = 0;
  for (size_t i = 1; i < w.samples.size(); ++i) crossings += (w.samples[i - 1] < 0) != (w.samples[i] < 0);
  return crossings * static_cast<double>(w.rate) / static_cast<double>(w.samples.size());
}

TEST(Assets_Sounds, EveryEffectIsAudiblePcmAndThePairedAndRisingOnesDiffer) {
  std::vector<int> loaded = {95, 96, 98, 99};
  for (int n = 1; n <= 21; ++n) loaded.push_back(n);
  for (int n : loaded) {
    SCOPED_TRACE("effect " + std::to_string(n));
    const Sound w = Effect(n);
    ASSERT_TRUE(w.ok) << "the game's loader refuses it";
    EXPECT_GT(w.seconds(), 0.01);
    EXPECT_LT(w.seconds(), n == 4 || n == 5 || n == 99 ? 0.2 : 4.0) << "pills and menu moves must not pile up";
    int peak = 0;
    for (int16_t v : w.samples) peak = std::max(peak, std::abs(static_cast<int>(v)));
    EXPECT_GT(peak, 0.3 * 32768) << "too quiet to be of use";
    EXPECT_LT(peak, 32767) << "clipped";
  }
  EXPECT_GT(Pitch(Effect(5)), Pitch(Effect(4)) * 1.1) << "the alternating pill sounds must differ";
  for (int n = 16; n <= 18; ++n) EXPECT_GT(Pitch(Effect(n)), Pitch(Effect(n - 1))) << "friend jingle " << n;
}

TEST(Assets_Tunes, EveryTuneDecodesWithALevelLengthDurationAndNoSilentStretch) {
  for (int n = 1; n <= 6; ++n) {
    const std::string path = assets_test::dataPath("sfx/tune0" + std::to_string(n) + ".ogg");
    SCOPED_TRACE(path);
    EXPECT_LT(assets_test::readBytes(path).size(), 1000000u);
    const Sound tune = readSound(path);
    ASSERT_TRUE(tune.ok) << "the game's loader does not decode it";
    EXPECT_EQ(tune.rate, 44100);
    EXPECT_EQ(tune.channels, 2);
    EXPECT_GE(tune.seconds(), 60.0);
    EXPECT_LE(tune.seconds(), 120.0);
    // No half second quieter than 1% of full scale for more than two seconds before the ending.
    const size_t window = static_cast<size_t>(tune.rate) * tune.channels / 2;
    int quiet = 0, worst = 0;
    for (size_t i = 0; i + window < tune.samples.size() - 6 * window; i += window) {
      double sum = 0;
      for (size_t j = i; j < i + window; ++j) sum += static_cast<double>(tune.samples[j]) * tune.samples[j];
      quiet = std::sqrt(sum / window) < 0.01 * 32768 ? quiet + 1 : 0;
      worst = std::max(worst, quiet);
    }
    EXPECT_LE(worst, 4);
  }
}

}  // namespace
