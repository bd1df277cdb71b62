// The demo song: how the game starts it, and the song and instruments the generator makes for it.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/music/demo_song.h"
#include "music.h"
#include "music_support.h"

namespace {

TEST(KxDemoSong, StartingItClearsTheLeftoversOfAnEarlierSong) {
  gc_init();
  c_KxPlayer* player = kxtest::NewPlayer();
  // Leftovers of an earlier song must not shape this one.
  player->m_step = 17;
  player->m_section = 5;
  player->m_repeatsLeft = 3;
  player->m_patternCount[2] = 40;
  player->m_voicePattern[1] = 9;
  player->m_voiceMuted[3] = 1;
  player->m_voiceMutedNext[0] = 1;
  player->m_state = c_KxPlayer::kStopped;
  bb_music_StartDemoSong(player);
  EXPECT_EQ(player->m_loadStep, 1);
  EXPECT_EQ(player->m_state, c_KxPlayer::kPlaying);
  EXPECT_EQ(player->m_step, 0);
  EXPECT_EQ(player->m_section, 0);
  EXPECT_EQ(player->m_repeatsLeft, 0);
  for (int v = 0; v < 8; ++v) {
    EXPECT_EQ(player->m_patternCount[v], 0);
    EXPECT_EQ(player->m_voicePattern[v], 0);
    EXPECT_EQ(player->m_voiceMuted[v], 0);
    EXPECT_EQ(player->m_voiceMutedNext[v], 0);
  }
  EXPECT_NE(player->m_songSeed, 0);
  ASSERT_GT(player->m_chord.Length(), 1);
  for (int i = 0; i < player->m_chord.Length(); ++i) {
    const bool root = player->p_GetPitch_Alpha(player->m_chord[i]) > 0;
    EXPECT_TRUE(root || (player->m_chord[i] == ' ' && i == player->m_chord.Length() - 1)) << i;
  }
}

// Pitch classes of C major, counted from the samples' own C (note 13).
bool InKey(int note) {
  const int pc = ((note - 13) % 12 + 12) % 12;
  return pc == 0 || pc == 2 || pc == 4 || pc == 5 || pc == 7 || pc == 9 || pc == 11;
}

TEST(KxDemoSong, ItsPatternsStayInKeyUseTheKitsAndPairTheirAlternations) {
  using namespace assetgen;
  const std::vector<uint8_t> song = makeDemoSongPatterns();
  const auto at = [&song](int p, int v, int s, int k) { return int(song[size_t(songIndex(p, v, s, k))]); };
  int highest[kSongVoices] = {};
  for (int p = 0; p < kSongPatterns; ++p) {
    for (int v = 0; v < kSongVoices; ++v) {
      int notes = 0;
      for (int s = 0; s < kSongSteps; ++s) {
        SCOPED_TRACE(testing::Message() << "pattern " << p << " voice " << v << " step " << s);
        for (int k = 0; k < kSongValues; ++k) ASSERT_LE(at(p, v, s, k), 31);
        const int note = at(p, v, s, kCellNote);
        if (note > 0) {
          ++notes;
          ASSERT_LT(v, 5) << "only five voices play";
          EXPECT_GT(at(p, v, s, kCellVolume), 0) << "every note sets its level";
          if (v < 2) {
            EXPECT_TRUE(note == 13 || note == 15 || note == 17 || note == 18 || note == 20 || note == 22 ||
                        note == 24 || note == 25)
                << note << " is no kit entry";
          } else {
            EXPECT_TRUE(InKey(note)) << note;
          }
        }
        if (at(p, v, s, kCellEffect) == kFxAlternate) {
          // 27/1 hands over to the next pattern, which hands back with 27/2 at the same step.
          const int parameter = at(p, v, s, kCellParameter);
          ASSERT_TRUE(parameter == 1 || parameter == 2);
          const int other = parameter == 1 ? p + 1 : p - 1;
          EXPECT_EQ(at(other, v, s, kCellEffect), kFxAlternate);
          EXPECT_EQ(at(other, v, s, kCellParameter), 3 - parameter);
        }
        if (at(p, v, s, kCellEffect) == kFxBreak) {
          EXPECT_EQ(s % 8, 7) << "a break ends the bar on a beat";
        }
      }
      if (notes > 0) highest[v] = p;
      if (p == 0 && v < 5) {
        EXPECT_GT(notes, 0) << "the first bar has every voice";
      }
    }
  }
  // Frame 63 is never decoded: nothing may live there.
  for (int v = 0; v < 5; ++v) EXPECT_LT(highest[v], 63);
  EXPECT_GE(highest[0], 1);
  EXPECT_GE(highest[1], 1);
  EXPECT_GE(highest[2], 2);
  EXPECT_GE(highest[3], 1);
  EXPECT_GE(highest[4], 1);
}

// Strength of one frequency in a signal (a single Fourier coefficient).
double Strength(const std::vector<float>& x, double hz, int rate) {
  double re = 0, im = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const double w = 2 * 3.14159265358979 * hz * double(i) / rate;
    re += x[i] * std::cos(w);
    im += x[i] * std::sin(w);
  }
  return std::hypot(re, im) / double(x.size());
}

TEST(KxDemoSong, MelodicInstrumentsLoopSeamlesslyOnOneCOctavesApart) {
  using namespace assetgen;
  const std::vector<InstrumentSample> all = makeInstrumentSamples();
  const struct {
    const char* name;
    double hz;
  } melodic[] = {{"lead1", 528}, {"accompany1", 264}, {"bass1", 66}};
  for (const auto& m : melodic) {
    SCOPED_TRACE(m.name);
    const InstrumentSample* found = nullptr;
    for (const InstrumentSample& s : all) {
      if (s.name == m.name) found = &s;
    }
    ASSERT_TRUE(found);
    const std::vector<float>& x = found->samples;
    ASSERT_GT(x.size(), 1000u);
    float largestStep = 0;
    for (size_t i = 1; i < x.size(); ++i) largestStep = std::max(largestStep, std::fabs(x[i] - x[i - 1]));
    // Looping jumps from the last sample to the first: no bigger a step than inside the sound.
    EXPECT_LE(std::fabs(x.front() - x.back()), largestStep);
    // The fundamental is C, well above the semitones beside it.
    const double c = Strength(x, m.hz, kInstrumentRate);
    EXPECT_GT(c, 4 * Strength(x, m.hz * 1.0595, kInstrumentRate));
    EXPECT_GT(c, 4 * Strength(x, m.hz / 1.0595, kInstrumentRate));
    float peak = 0;
    for (float v : x) peak = std::max(peak, std::fabs(v));
    EXPECT_LT(peak, 0.8f);
    EXPECT_GT(peak, 0.3f);
  }
  for (const InstrumentSample& s : all) {
    if (s.name[0] != 'd') continue;
    SCOPED_TRACE(s.name);
    // Drums are short single hits that start at once and die away.
    EXPECT_LT(s.samples.size(), size_t(1.5 * kInstrumentRate));
    float early = 0, late = 0;
    const size_t quarter = s.samples.size() / 4;
    for (size_t i = 0; i < s.samples.size(); ++i) {
      float& peak = i < quarter ? early : late;
      peak = std::max(peak, std::fabs(s.samples[i]));
    }
    EXPECT_GT(early, late);
    EXPECT_GT(early, 0.2f);
  }
}

}  // namespace
