// Pieces of the asset generator the finished files cannot vouch for: compositing and frame
// clipping, tileable noise, the WAV writer's clamping, and the sequencer's timing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "asset_files.h"
#include "audio.h"
#include "noise.h"
#include "raster.h"
#include "scratch.h"
#include "sequencer.h"

using namespace assetgen;

namespace {

TEST(Assetgen_Raster, CompositingFollowsSourceOver) {
  Image img(2, 1);
  img.blend(0, 0, rgb(255, 0, 0), 1.0f);
  EXPECT_FLOAT_EQ(img.at(0, 0).r, 1.0f);
  EXPECT_FLOAT_EQ(img.at(0, 0).a, 1.0f);
  img.blend(1, 0, Colour{1, 1, 1, 0.5f}, 1.0f);
  img.blend(1, 0, Colour{0, 0, 0, 0.5f}, 1.0f);
  EXPECT_NEAR(img.at(1, 0).a, 0.75f, 1e-6f);
  EXPECT_NEAR(img.at(1, 0).r, 1.0f / 3.0f, 1e-6f);  // white weighted 0.25, black 0.5
  const std::vector<uint8_t> px = img.rgba8();
  EXPECT_EQ(px[3], 255);
  EXPECT_EQ(px[7], 191);
}

TEST(Assetgen_Raster, DrawingNeverBleedsIntoANeighbouringFrame) {
  // Two 8-unit frames side by side at 4x; a circle far larger than its frame must stay inside.
  Image img(64, 32);
  Pen left(img, 0, 0, 4.0f, 8, 8);
  left.circle({4, 4}, 40, rgb(255, 255, 255));
  for (int y = 0; y < 32; ++y) {
    EXPECT_EQ(img.at(31, y).a, 1.0f);
    EXPECT_EQ(img.at(32, y).a, 0.0f);
  }
  // A scaled sub-pen stays within the frame of its parent as well.
  Image img2(64, 32);
  Pen parent(img2, 0, 0, 4.0f, 8, 8);
  Pen sub = parent.sub({6, 0}, 0.5f, 64, 64);
  sub.rect(0, 0, 64, 64, rgb(0, 255, 0));
  EXPECT_GT(img2.at(31, 0).a, 0.0f);
  EXPECT_EQ(img2.at(32, 0).a, 0.0f);
}

TEST(Assetgen_Noise, PeriodicNoiseTilesExactly) {
  // The wall materials rely on this: a pattern that does not repeat would show a seam.
  for (float x = 0.0f; x < 4.0f; x += 0.37f) {
    for (float y = 0.0f; y < 4.0f; y += 0.41f) {
      EXPECT_NEAR(valueNoise(x, y, 7, 4), valueNoise(x + 4.0f, y, 7, 4), 1e-5f);
      EXPECT_NEAR(valueNoise(x, y, 7, 4), valueNoise(x, y - 8.0f, 7, 4), 1e-5f);
      const Cell a = cellular(x, y, 9, 4), b = cellular(x + 4.0f, y + 4.0f, 9, 4);
      EXPECT_NEAR(a.d1, b.d1, 1e-4f);
      EXPECT_EQ(a.id, b.id);
    }
  }
  EXPECT_NE(valueNoise(0.5f, 0.5f, 7, 4), valueNoise(0.5f, 0.5f, 8, 4)) << "the seed must matter";
}

TEST(Assetgen_Writers, WavRoundTripsThroughTheGamesLoader) {
  const std::string path = bbtest::ScratchFolder() + "roundtrip.wav";
  const std::vector<float> samples{0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 2.0f, -3.0f};
  ASSERT_TRUE(writeWav(path, samples, 22050));
  const assets_test::Sound w = assets_test::readSound(path);
  ASSERT_TRUE(w.ok);
  EXPECT_EQ(w.rate, 22050);
  EXPECT_EQ(w.channels, 1);
  const std::vector<int16_t> expected{0, 16384, -16384, 32767, -32767, 32767, -32767};  // clamped
  EXPECT_EQ(w.samples, expected);
}

TEST(Assetgen_Sequencer, NotesSoundAtTheirBeatAndNowhereElse) {
  Song song;
  song.bpm = 120.0f;  // half a second per beat
  song.lengthBeats = 4.0;
  Instrument inst;
  inst.voice.release = 0.01f;
  song.tracks.push_back({inst, {{2.0, 69.0f, 0.5f, 1.0f}}});  // one A4 at 1.0 s for 0.25 s
  std::vector<float> l, r;
  renderSong(song, 8000, l, r);
  ASSERT_EQ(l.size(), r.size());
  const auto energy = [&](double from, double to) {
    double e = 0;
    for (size_t i = static_cast<size_t>(from * 8000); i < static_cast<size_t>(to * 8000); ++i) e += l[i] * l[i];
    return e;
  };
  EXPECT_LT(energy(0.0, 0.95), 1e-3);
  EXPECT_GT(energy(1.0, 1.2), 10.0);
  EXPECT_LT(energy(1.4, 1.9), 1e-3);
}

}  // namespace
