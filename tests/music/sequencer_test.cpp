// The sequencer and the note routine, judged by the channel commands they issue: step timing,
// pattern break and alternation, volume and envelope, drums, pitch, chords, slides, the song
// structure, and the pitch tables and draws they use.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "music_support.h"
#include "runtime/host/app.h"

namespace {

using kxtest::Command;
using kxtest::SetCell;
using kxtest::Tick;

// Audio channels of the voices with the game's channel base of 32.
constexpr int kDrumsA = 31, kDrumsB = 30, kLead = 29, kAccompany = 28, kBass = 27;

class KxSequencer : public ::testing::Test {
 protected:
  void SetUp() override {
    gc_init();
    gc_clear_roots();
    out = std::make_unique<kxtest::Loopback>();
    player = kxtest::NewPlayer();
  }
  void TearDown() override { out.reset(); }

  std::vector<Command>& Log() { return out->audio->log; }
  std::vector<Command> Of(Command::Op op, int channel) { return out->audio->Of(op, channel); }
  // The commands of one tick.
  std::vector<Command> TickLog() {
    Log().clear();
    Tick(player);
    return Log();
  }
  // Volumes sent to a channel during one tick.
  std::vector<float> TickVolumes(int channel) {
    TickLog();
    std::vector<float> v;
    for (const Command& c : Of(Command::Volume, channel)) v.push_back(c.value);
    return v;
  }
  // The rate sent last to a channel during one tick, or -1.
  float TickRate(int channel) {
    TickLog();
    const std::vector<Command> rates = Of(Command::Rate, channel);
    return rates.empty() ? -1.0f : rates.back().value;
  }
  void Bars(int n) {
    for (int i = 0; i < n * 64; ++i) Tick(player);
  }

  std::unique_ptr<kxtest::Loopback> out;
  c_KxPlayer* player = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Timing

TEST_F(KxSequencer, AStepIsDueOnlyOnceItsTimeHasPassed) {
  kxtest::ClockHost* clock = kxtest::Clock();
  player->m_nextStepMs = 5000;
  clock->now = 5000;
  player->p_Kx_Alive_U(0, 1);
  EXPECT_EQ(player->m_step, 0);
  clock->now = 5001;
  player->p_Kx_Alive_U(0, 1);
  EXPECT_EQ(player->m_step, 1);
  EXPECT_EQ(player->m_nextStepMs, 5084);
  // A due time implausibly far ahead counts as due; one just inside the limit does not.
  player->m_nextStepMs = clock->now + 123456;
  player->p_Kx_Alive_U(0, 1);
  EXPECT_EQ(player->m_step, 1);
  player->m_nextStepMs = clock->now + 123457;
  player->p_Kx_Alive_U(0, 1);
  EXPECT_EQ(player->m_step, 2);
}

TEST_F(KxSequencer, OverdueStepsAreCaughtUpOnePerTickAndTheClockStaysExactLate) {
  kxtest::ClockHost* clock = kxtest::Clock();
  player->m_nextStepMs = 1000;
  clock->now = 1000 + 84 * 5 + 1;
  for (int i = 1; i <= 6; ++i) {
    player->p_Kx_Alive_U(0, 1);
    EXPECT_EQ(player->m_step, i);
  }
  player->p_Kx_Alive_U(0, 1);
  EXPECT_EQ(player->m_step, 6);
  // Hours into the game the steps still land 84 ms apart.
  player->m_nextStepMs = 40000001;
  clock->now = 40000002;
  player->p_Kx_Alive_U(0, 1);
  EXPECT_EQ(player->m_nextStepMs, 40000085);
}

// ---------------------------------------------------------------------------------------------
// Pattern break and alternation

TEST_F(KxSequencer, PatternBreakSendsTheLaterVoicesToTheLastStepAndTheNextTickToTheNextBar) {
  SetCell(player, 0, 2, 10, 13, 20, c_KxPlayer::kPatternBreak, 0);
  SetCell(player, 0, 3, 10, 15, 20);
  SetCell(player, 0, 3, 63, 17, 20);
  SetCell(player, 0, 4, 10, 20, 20);
  SetCell(player, 0, 4, 63, 22, 20);
  SetCell(player, 0, 2, 0, 25, 20);
  player->m_step = 10;
  TickLog();
  ASSERT_EQ(Of(Command::Rate, kLead).size(), 1u);
  EXPECT_EQ(Of(Command::Rate, kLead)[0].value, 1.0f);
  ASSERT_EQ(Of(Command::Rate, kAccompany).size(), 1u);
  EXPECT_EQ(Of(Command::Rate, kAccompany)[0].value, player->p_GetPitch(17));
  ASSERT_EQ(Of(Command::Rate, kBass).size(), 1u);
  EXPECT_EQ(Of(Command::Rate, kBass)[0].value, player->p_GetPitch(22));
  // The bar ended in the same tick.
  EXPECT_EQ(player->m_step, 0);
  EXPECT_EQ(player->m_section, 1);
  EXPECT_EQ(TickRate(kLead), 2.0f);
  EXPECT_EQ(player->m_step, 1);
}

TEST_F(KxSequencer, AlternationSwapsAPatternPairFromOneRepeatToTheNext) {
  SetCell(player, 0, 2, 5, 13, 20, c_KxPlayer::kAlternate, 1);
  SetCell(player, 1, 2, 5, 25, 20, c_KxPlayer::kAlternate, 2);
  player->m_repeatsLeft = 4;
  std::vector<float> heard;
  std::vector<int> patterns;
  for (int bar = 0; bar < 4; ++bar) {
    for (int s = 0; s < 64; ++s) {
      if (s == 5) {
        heard.push_back(TickRate(kLead));
        patterns.push_back(player->m_voicePattern[2]);
      } else {
        Tick(player);
      }
    }
  }
  // Repeats left 4 (even: stays), 3 (odd: on to 1), 2 (even: back to 0), 1 (odd: on to 1).
  EXPECT_EQ(heard, (std::vector<float>{1.0f, 2.0f, 1.0f, 2.0f}));
  EXPECT_EQ(patterns, (std::vector<int>{0, 1, 0, 1}));
}

TEST_F(KxSequencer, AlternationNeverLeavesTheSongsPatterns) {
  // Back from the first pattern and on from the last would read outside the pattern data.
  SetCell(player, 0, 2, 0, 13, 20, c_KxPlayer::kAlternate, 2);
  SetCell(player, 63, 3, 0, 25, 20, c_KxPlayer::kAlternate, 1);
  player->m_voicePattern[3] = 63;
  player->m_repeatsLeft = 2;
  EXPECT_EQ(TickRate(kLead), 1.0f);
  EXPECT_EQ(player->m_voicePattern[2], 0);
  player->m_step = 0;
  player->m_repeatsLeft = 1;
  EXPECT_EQ(TickRate(kAccompany), 2.0f);
  EXPECT_EQ(player->m_voicePattern[3], 63);
}

// ---------------------------------------------------------------------------------------------
// Volume and envelope

TEST_F(KxSequencer, VolumesMapOntoTheMasterLevelAndThirtyOneSilences) {
  player->p_Kx_PlayNote(2, 13, 30, 0, 0);
  ASSERT_FALSE(Of(Command::Volume, kLead).empty());
  EXPECT_EQ(Of(Command::Volume, kLead)[0].value, 0.5f);
  Log().clear();
  player->p_Kx_PlayNote(2, 13, 16, 0, 0);
  ASSERT_FALSE(Of(Command::Volume, kLead).empty());
  EXPECT_NEAR(Of(Command::Volume, kLead)[0].value, 0.2586, 0.0001);
  // Volume 0 keeps the level: nothing is sent while the envelope holds.
  Log().clear();
  player->p_Kx_PlayNote(2, 0, 0, 0, 0);
  EXPECT_TRUE(Of(Command::Volume, kLead).empty());
  Log().clear();
  player->p_Kx_PlayNote(2, 0, 31, 0, 0);
  ASSERT_FALSE(Of(Command::Volume, kLead).empty());
  EXPECT_EQ(Of(Command::Volume, kLead)[0].value, 0.0f);
  player->m_masterVolume = 0.8f;
  Log().clear();
  player->p_Kx_PlayNote(2, 13, 30, 0, 0);
  EXPECT_NEAR(Of(Command::Volume, kLead)[0].value, 0.8, 1e-6);
}

TEST_F(KxSequencer, EnvelopeHoldsFourStepsThenFadesFasterAndFasterAndSilencesOnTheFifteenth) {
  SetCell(player, 0, 2, 0, 13, 30);
  EXPECT_EQ(TickVolumes(kLead), std::vector<float>{0.5f});
  for (int i = 1; i <= 4; ++i) EXPECT_TRUE(TickVolumes(kLead).empty()) << "step " << i;
  std::vector<float> fade;
  for (int i = 5; i <= 15; ++i) {
    const std::vector<float> v = TickVolumes(kLead);
    ASSERT_EQ(v.size(), 1u) << "step " << i;
    fade.push_back(v[0]);
  }
  EXPECT_LT(fade[0], 0.5f);
  EXPECT_NEAR(fade[0], 0.5f, 1e-6);
  // Each step multiplies the level again: by 0.9, 0.8 ... 0.1.
  for (int i = 1; i <= 9; ++i) EXPECT_NEAR(fade[i] / fade[i - 1], 1.0 - 0.1 * i, 1e-4) << "step " << i + 5;
  EXPECT_GT(fade[9], 0.0f);
  EXPECT_EQ(fade[10], 0.0f);
  EXPECT_EQ(player->m_voiceEnvelope[2], 0.0f);
}

TEST_F(KxSequencer, ADrumHitWithoutVolumeHoldsForAboutThirtySteps) {
  SetCell(player, 0, 0, 0, 13, 0);
  player->m_voiceLevel[0] = 0.6f;
  TickLog();
  EXPECT_TRUE(Of(Command::Volume, kDrumsA).empty());
  int firstFade = 0;
  for (int i = 1; i < 40 && !firstFade; ++i) {
    if (!TickVolumes(kDrumsA).empty()) firstFade = i;
  }
  EXPECT_GE(firstFade, 29);
  EXPECT_LE(firstFade, 31);
}

// ---------------------------------------------------------------------------------------------
// Drums, pitch and slides

TEST_F(KxSequencer, DrumNotesPlayTheirKitEntriesOncePannedToTheirSide) {
  const int notes[] = {13, 15, 17, 18, 20, 22, 24, 25};
  for (int i = 0; i < 8; ++i) {
    SetCell(player, 0, 0, i, notes[i], 0);
    SetCell(player, 0, 1, i, notes[i], 0);
  }
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(notes[i]);
    TickLog();
    for (int voice = 0; voice < 2; ++voice) {
      const int ch = voice == 0 ? kDrumsA : kDrumsB;
      c_Sound* entry = voice == 0 ? player->m_drumsA[i + 1] : player->m_drumsB[i + 1];
      const std::vector<Command> plays = Of(Command::Play, ch);
      ASSERT_EQ(plays.size(), 1u);
      EXPECT_EQ(plays[0].sample, entry->m_sample);
      EXPECT_EQ(plays[0].flags, 0);
      ASSERT_EQ(Of(Command::Pan, ch).size(), 1u);
      EXPECT_EQ(Of(Command::Pan, ch)[0].value, voice == 0 ? -0.35f : 0.35f);
    }
  }
  // A black key stops the drum and plays nothing.
  SetCell(player, 0, 0, 8, 14, 0);
  TickLog();
  EXPECT_EQ(Of(Command::Stop, kDrumsA).size(), 1u);
  EXPECT_TRUE(Of(Command::Play, kDrumsA).empty());
  EXPECT_TRUE(Of(Command::Pan, kDrumsA).empty());
  // A missing kit entry stops the channel and plays nothing either.
  player->m_drumsB[3] = nullptr;
  SetCell(player, 0, 1, 9, 17, 0);
  TickLog();
  EXPECT_EQ(Of(Command::Stop, kDrumsB).size(), 1u);
  EXPECT_TRUE(Of(Command::Play, kDrumsB).empty());
}

TEST_F(KxSequencer, MelodicNotesLoopTheirSampleAtThePitchOfTheNoteTimesTheChordRoot) {
  player->m_chord = String("q ");
  player->p_Kx_PlayNote(2, 13, 20, 0, 0);
  ASSERT_EQ(Of(Command::Rate, kLead).size(), 1u);
  EXPECT_EQ(Of(Command::Rate, kLead)[0].value, 1.0f);
  ASSERT_EQ(Of(Command::Play, kLead).size(), 1u);
  EXPECT_EQ(Of(Command::Play, kLead)[0].sample, player->m_voiceSound[2]->m_sample);
  EXPECT_EQ(Of(Command::Play, kLead)[0].flags, 1);
  // The channel is stopped, then given its rate, then started.
  std::vector<Command::Op> order;
  for (const Command& c : Log()) {
    if (c.channel == kLead && c.op != Command::Volume) order.push_back(c.op);
  }
  EXPECT_EQ(order, (std::vector<Command::Op>{Command::Stop, Command::Rate, Command::Play}));
  EXPECT_EQ(player->m_voiceSounding[2], 1);

  Log().clear();
  player->m_chord = String("b ");
  player->p_Kx_PlayNote(3, 13, 20, 0, 0);
  EXPECT_EQ(Of(Command::Rate, kAccompany).at(0).value, 0.749f);
  EXPECT_EQ(Of(Command::Play, kAccompany).at(0).sample, player->m_voiceSound[3]->m_sample);
  Log().clear();
  player->m_chord = String("qj ");
  player->p_Kx_PlayNote(4, 25, 20, 0, 0);
  EXPECT_EQ(Of(Command::Rate, kBass).at(0).value, 2.0f);
  // Outside play the chord is not applied.
  Log().clear();
  player->m_state = c_KxPlayer::kStopped;
  player->m_chord = String("z ");
  player->p_Kx_PlayNote(2, 20, 20, 0, 0);
  EXPECT_EQ(Of(Command::Rate, kLead).at(0).value, player->p_GetPitch(20));
  // Without a sample the rate is still set and nothing plays.
  Log().clear();
  player->m_voiceSound[4] = nullptr;
  player->m_voiceSounding[4] = 0;
  player->p_Kx_PlayNote(4, 13, 20, 0, 0);
  EXPECT_EQ(Of(Command::Rate, kBass).size(), 1u);
  EXPECT_TRUE(Of(Command::Play, kBass).empty());
  EXPECT_EQ(player->m_voiceSounding[4], 0);
}

TEST_F(KxSequencer, SlidesMoveTheRateEveryStepWithinAQuarterAndFourTimes) {
  player->p_Kx_PlayNote(2, 13, 20, c_KxPlayer::kSlideUp, 18);
  std::vector<Command> rates = Of(Command::Rate, kLead);
  ASSERT_EQ(rates.size(), 2u);
  EXPECT_EQ(rates[0].value, 1.0f);
  EXPECT_NEAR(rates[1].value, 1.1, 1e-6);
  // Each later step slides from where the last one left off; 0 leaves the pitch as it is.
  const struct {
    float pitch;
    int effect, parameter;
    double rate;
  } steps[] = {
      {0, c_KxPlayer::kSlideUp, 18, 1.2},       {0, c_KxPlayer::kSlideDown, 36, 1.0},
      {0, c_KxPlayer::kSlideUpFast, 15, 2.0},   {3, c_KxPlayer::kSlideUpFast, 31, 4.0},
      {0, c_KxPlayer::kSlideUp, 31, 4.0},       {0, c_KxPlayer::kSlideDownFast, 31, 4.0 - 31.0 / 15.0},
      {0, c_KxPlayer::kSlideDownFast, 31, 0.25}, {0, c_KxPlayer::kSlideDown, 31, 0.25},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(testing::Message() << step.effect << "/" << step.parameter << " to " << step.rate);
    if (step.pitch > 0) player->m_voicePitch[2] = step.pitch;
    Log().clear();
    player->p_Kx_PlayNote(2, 0, 0, step.effect, step.parameter);
    EXPECT_NEAR(Of(Command::Rate, kLead).at(0).value, step.rate, 1e-6);
  }
  // Other effects leave the rate alone, and a muted voice does not slide.
  Log().clear();
  player->p_Kx_PlayNote(2, 0, 0, 5, 31);
  player->p_Kx_PlayNote(2, 0, 0, c_KxPlayer::kAlternate, 1);
  player->m_voiceMuted[2] = 1;
  player->p_Kx_PlayNote(2, 0, 0, c_KxPlayer::kSlideUp, 31);
  EXPECT_TRUE(Of(Command::Rate, kLead).empty());
}

TEST_F(KxSequencer, AMutedVoiceIsSilentUnlessItLeadsIntoTheNextSection) {
  player->m_voiceMuted[2] = 1;
  player->p_Kx_PlayNote(2, 13, 20, 0, 0);
  EXPECT_TRUE(Of(Command::Play, kLead).empty());
  EXPECT_TRUE(Of(Command::Rate, kLead).empty());
  // In the last eight steps of a section's last repeat a voice that plays next may come in early.
  player->m_repeatsLeft = 1;
  player->m_step = 56;
  player->m_voiceLeadIn[2] = 1;
  player->m_voiceMutedNext[2] = 1;
  player->p_Kx_PlayNote(2, 13, 20, 0, 0);
  EXPECT_TRUE(Of(Command::Play, kLead).empty());
  player->m_voiceMutedNext[2] = 0;
  player->m_step = 55;
  player->p_Kx_PlayNote(2, 13, 20, 0, 0);
  EXPECT_TRUE(Of(Command::Play, kLead).empty());
  player->m_repeatsLeft = 2;
  player->m_step = 60;
  player->p_Kx_PlayNote(2, 13, 20, 0, 0);
  EXPECT_TRUE(Of(Command::Play, kLead).empty());
  player->m_repeatsLeft = 1;
  player->p_Kx_PlayNote(2, 13, 20, 0, 0);
  EXPECT_EQ(Of(Command::Play, kLead).size(), 1u);
}

// ---------------------------------------------------------------------------------------------
// Chords and song structure

TEST_F(KxSequencer, ChordRootsChangeEveryBarAndEachProgressionPlaysItsFourRootsInOrder) {
  SetCell(player, 0, 2, 0, 13, 20);
  player->m_chord = String("qbjz ");
  std::vector<float> roots;
  for (int bar = 0; bar < 16; ++bar) {
    player->m_voiceMuted[2] = 0;  // the lead rests in no section here
    Log().clear();
    Bars(1);
    const std::vector<Command> rates = Of(Command::Rate, kLead);
    ASSERT_EQ(rates.size(), 1u);
    roots.push_back(rates[0].value);
  }
  EXPECT_EQ(std::vector<float>(roots.begin(), roots.begin() + 4), (std::vector<float>{1.0f, 0.749f, 0.891f, 0.5f}));
  std::vector<std::vector<float>> progressions;
  for (int n = 0; n <= 4; ++n) {
    const String chord = player->p_Kx_GetChord(n);
    std::vector<float> r;
    for (int i = 0; i < chord.Length(); ++i) r.push_back(player->p_GetPitch_Alpha(chord[i]));
    progressions.push_back(r);
  }
  for (int group = 1; group < 4; ++group) {
    const std::vector<float> got(roots.begin() + group * 4, roots.begin() + group * 4 + 4);
    bool known = false;
    for (const auto& p : progressions) known = known || p == got;
    EXPECT_TRUE(known) << "bars " << group * 4 << " to " << group * 4 + 3;
  }
  // The closing space of a progression is never a bar's root, so no bar is sent a rate of 0.
  for (float r : roots) EXPECT_GT(r, 0.0f);
}

TEST_F(KxSequencer, AnEmptyChordStringKeepsEveryBarAtUnison) {
  SetCell(player, 0, 2, 0, 13, 20);
  for (int bar = 0; bar < 6; ++bar) {
    EXPECT_EQ(TickRate(kLead), 1.0f) << bar;
    for (int s = 1; s < 64; ++s) Tick(player);
  }
  EXPECT_EQ(player->m_chord.Length(), 0);
}

TEST_F(KxSequencer, TheFirstBarPlaysPatternZeroThenSectionsLastTwoOrFourBars) {
  for (int v = 0; v < 5; ++v) {
    player->m_patternCount[v] = 6;
    player->m_voiceMutedNext[v] = 1;  // drawn for the section after next: not heard in the first
  }
  Bars(1);
  EXPECT_EQ(player->m_section, 1);
  for (int v = 0; v < 5; ++v) EXPECT_EQ(player->m_voiceMuted[v], v == 0 ? 0 : 1) << v;
  std::vector<int> lengths;
  int bars = 0;
  bool patternsVary = false;
  for (int bar = 0; bar < 80; ++bar) {
    const int section = player->m_section;
    const int first = player->m_voicePattern[2];
    Bars(1);
    ++bars;
    for (int v = 0; v < 5; ++v) {
      ASSERT_GE(player->m_voicePattern[v], 0);
      ASSERT_LE(player->m_voicePattern[v], 6);
    }
    if (player->m_section != section) {
      lengths.push_back(bars);
      bars = 0;
      patternsVary = patternsVary || player->m_voicePattern[2] != first;
    }
  }
  ASSERT_GT(lengths.size(), 10u);
  bool two = false, four = false;
  for (int n : lengths) {
    EXPECT_TRUE(n == 2 || n == 4) << n;
    two = two || n == 2;
    four = four || n == 4;
  }
  EXPECT_TRUE(two && four);
  EXPECT_TRUE(patternsVary);
}

TEST_F(KxSequencer, TheTwoDrumVoicesNeverRestTogether) {
  int bothDrawn = 0, secondRests = 0;
  for (int section = 0; section < 300; ++section) {
    player->m_step = 63;
    player->m_repeatsLeft = 1;
    const bool both = player->m_voiceMutedNext[0] == 1 && player->m_voiceMutedNext[1] == 1;
    Tick(player);
    ASSERT_EQ(player->m_section, section + 1);
    ASSERT_FALSE(player->m_voiceMuted[0] == 1 && player->m_voiceMuted[1] == 1) << section;
    if (both) {
      ++bothDrawn;
      EXPECT_EQ(player->m_voiceMuted[0], 0);
      EXPECT_EQ(player->m_voiceMuted[1], 1);
    }
    secondRests += player->m_voiceMuted[1];
  }
  EXPECT_GT(bothDrawn, 20);
  EXPECT_GT(secondRests, 100);
}

// A song of three patterns per voice, each with its own notes, and a chord string.
void WriteSong(c_KxPlayer* player, int seed) {
  for (int v = 0; v < 5; ++v) {
    player->m_patternCount[v] = 3;
    for (int p = 0; p <= 3; ++p) {
      for (int s = 0; s < 64; s += 16) SetCell(player, p, v, s, v < 2 ? 13 + 2 * p : 13 + p + s / 16, 20);
    }
  }
  player->m_songSeed = seed;
  player->m_chord = String("qj ");
}

TEST_F(KxSequencer, OneSongSeedAlwaysGivesTheSameMusicWhateverTheGameDrawsMeanwhile) {
  const auto play = [this](int songSeed, int gameSeed, bool gameDraws) {
    c_KxPlayer* p = kxtest::NewPlayer();
    WriteSong(p, songSeed);
    bb_random_Seed = gameSeed;
    Log().clear();
    for (int i = 0; i < 40 * 64; ++i) {
      Tick(p);
      // The game's own draws between ticks.
      if (gameDraws) {
        for (int k = 0; k < i % 3; ++k) bb_random_Rnd();
      }
    }
    return kxtest::Heard(Log(), p);
  };
  const std::vector<kxtest::Event> first = play(77, 1, true);
  const std::vector<kxtest::Event> again = play(77, 99999, false);
  EXPECT_GT(first.size(), 1000u);
  EXPECT_TRUE(first == again);
  EXPECT_FALSE(first == play(78, 1, true));
}

// ---------------------------------------------------------------------------------------------
// Tables and draws

TEST_F(KxSequencer, NotesAndKeysOutsideThePitchTablesGiveZero) {
  for (int note : {0, 33, -1}) EXPECT_EQ(player->p_GetPitch(note), 0.0f) << note;
  for (int key : {int(' '), int('a'), int('Q'), 0}) EXPECT_EQ(player->p_GetPitch_Alpha(key), 0.0f) << key;
}

TEST_F(KxSequencer, RandCoversItsWholeRangeAndNothingBeyond) {
  int seen[5] = {};
  for (int i = 0; i < 2000; ++i) {
    const int n = player->p_Rand(0, 4);
    ASSERT_GE(n, 0);
    ASSERT_LE(n, 4);
    ++seen[n];
  }
  for (int n = 0; n < 5; ++n) EXPECT_GT(seen[n], 300) << n;
  for (int i = 0; i < 200; ++i) {
    const int n = player->p_Rand(3, 5);
    ASSERT_GE(n, 3);
    ASSERT_LE(n, 5);
  }
}

}  // namespace
