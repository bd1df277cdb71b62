// The sequencer and the note routine, judged by the channel commands they give, and the game's hooks:
// pausing, the music setting and stopping silence the player; voices keep to their channels.
#include <gtest/gtest.h>

#include <set>

#include "music_support.h"

namespace {

using namespace kxtest;

class KxSequencer : public KxFixture {};
class KxHooks : public KxFixture {};

TEST_F(KxSequencer, AStepIsDueOnceItsTimeHasPassedAndOverdueStepsComeOnePerTick) {
  std::vector<int> steps;
  const auto update = [&](int due, int now) {
    if (due) player->m_nextStepMs = due;
    Clock()->now = now, player->p_Kx_Alive_U(0, 1), steps.push_back(player->m_step);
  };
  update(5000, 5000), update(0, 5001);
  for (int i = 0; i < 7; ++i) update(0, 5084 + 4 * 84 + 1);  // five steps due
  update(Clock()->now + 123456, Clock()->now), update(Clock()->now + 123457, Clock()->now);  // that far ahead: due
  EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 6, 6, 6, 7}));
  update(40000001, 40000002);  // hours into the game the steps still land 84 ms apart
  EXPECT_EQ(player->m_nextStepMs, 40000085);
}

TEST_F(KxSequencer, APatternBreakSendsTheLaterVoicesToTheLastStepAndTheNextTickToTheNextBar) {
  SetCell(0, 2, 10, 13, 20, P::kPatternBreak), SetCell(0, 2, 0, 25, 20);
  SetCell(0, 3, 10, 15, 20), SetCell(0, 3, 63, 17, 20);  // the later voices play step 63 instead
  SetCell(0, 4, 10, 20, 20), SetCell(0, 4, 63, 22, 20);
  player->m_step = 10, Tick(2);
  EXPECT_EQ(Sent(kLead, "rate"), (Log{"1", "2"}));
  EXPECT_EQ(Sent(kAccompany, "rate"), Log{"1.26"});
  EXPECT_EQ(Sent(kBass, "rate"), Log{"1.682"});
}

TEST_F(KxSequencer, AlternationSwapsAPatternPairFromRepeatToRepeatButNeverLeavesTheSongsPatterns) {
  SetCell(0, 2, 5, 13, 20, P::kAlternate, 1), SetCell(1, 2, 5, 25, 20, P::kAlternate, 2);
  // Back from the first pattern and on from the last would read outside the pattern data.
  SetCell(0, 3, 0, 13, 20, P::kAlternate, 2), SetCell(63, 4, 0, 25, 20, P::kAlternate, 1);
  player->m_voicePattern[4] = 63, player->m_repeatsLeft = 4, Tick(4 * 64);
  // Repeats left 4 (even: stays), 3 (odd: on to 1), 2 (even: back to 0), 1 (odd: on to 1).
  EXPECT_EQ(Sent(kLead, "rate"), (Log{"1", "2", "1", "2"}));
  EXPECT_EQ(Sent(kAccompany, "rate"), Log(4, "1"));
  EXPECT_EQ(Sent(kBass, "rate"), Log(4, "2"));
}

TEST_F(KxSequencer, TheEnvelopeHoldsFourStepsThenFadesFasterAndFasterAndADrumHitHoldsLonger) {
  SetCell(0, 2, 0, 13, 30), SetCell(0, 0, 0, 13, 0), player->m_voiceLevel[0] = 0.6f;  // a drum hit without volume
  int drumFades = 0;
  for (int i = 0; i < 40 && Sent(kDrumsA, "volume").empty(); ++i) Tick(), drumFades = i;
  Log lead = Sent(kLead, "volume");
  lead.resize(12);
  EXPECT_EQ(lead, (Log{"0.5", "0.5", "0.45", "0.36", "0.252", "0.1512", "0.0756", "0.03024", "0.009072", "0.001814",
                       "0.0001814", "0"}));
  EXPECT_TRUE(drumFades >= 29 && drumFades <= 31) << drumFades;
}

TEST_F(KxSequencer, DrumNotesPlayTheirKitEntriesOncePannedToTheirSideAndOtherNotesOnlyStopTheDrum) {
  const int notes[] = {13, 15, 17, 18, 20, 22, 24, 25, 14};
  for (int i = 0; i < 9; ++i) SetCell(0, 0, i, notes[i], 0), SetCell(0, 1, i, notes[i], 0);
  player->m_drumsB[3] = nullptr;  // a missing kit entry plays nothing either
  Tick(9);
  EXPECT_EQ(Sent(kDrumsA, "play"), (Log{"A1 0", "A2 0", "A3 0", "A4 0", "A5 0", "A6 0", "A7 0", "A8 0"}));
  EXPECT_EQ(Sent(kDrumsB, "play"), (Log{"B1 0", "B2 0", "B4 0", "B5 0", "B6 0", "B7 0", "B8 0"}));
  EXPECT_EQ(Sent(kDrumsA, "pan"), Log(8, "-0.35"));
  EXPECT_EQ(Sent(kDrumsB, "pan"), Log(7, "0.35"));
  EXPECT_EQ(Sent(kDrumsA, "stop").size(), 9u);
}

TEST_F(KxSequencer, NotesSoundAtTheirVolumeAndMelodicOnesLoopAtTheNotesPitchTimesTheChordRoot) {
  const auto play = [this](int voice, int note, const char* chord, int volume = 20) {
    Commands().clear(), player->m_chord = String(chord), player->p_Kx_PlayNote(voice, note, volume, 0, 0);
    return Sent(32 - 1 - voice, "");
  };
  EXPECT_EQ(play(2, 13, "q "), (Log{"volume 0.3276", "stop", "rate 1", "play v2 1"}));
  EXPECT_EQ(play(2, 0, "q ", 0), Log{});             // 0 keeps the level
  EXPECT_EQ(play(2, 0, "q ", 31), Log{"volume 0"});  // 31 silences
  EXPECT_EQ(play(2, 13, "Q ")[2], "rate 1");  // a key that names no note leaves the pitch alone
  EXPECT_EQ(play(2, 32, "q ")[2], "rate 2.996");
  EXPECT_EQ(play(2, 33, "q ")[2], "rate 0");  // beyond the notes
  player->m_voiceSound[4] = nullptr;          // without a sample the rate is still set, and nothing plays
  EXPECT_EQ(play(4, 13, "q "), (Log{"volume 0.3276", "stop", "rate 1"}));
  player->m_state = P::kStopped;  // outside play the chord is not applied
  EXPECT_EQ(play(2, 21, "z ")[2], "rate 1.587");
}

TEST_F(KxSequencer, SlidesMoveTheRateEveryStepWithinAQuarterAndFourTimes) {
  player->p_Kx_PlayNote(2, 13, 20, P::kSlideUp, 18);
  const struct { float pitch; int effect, parameter; } steps[] = {  // the pitch is set first when not 0
      {0, P::kSlideUp, 18},       {0, P::kSlideDown, 36},     {0, P::kSlideUpFast, 15}, {3, P::kSlideUpFast, 31},
      {0, P::kSlideUp, 31},       {0, P::kSlideDownFast, 31}, {0, P::kSlideDownFast, 31}, {0, P::kSlideDown, 31},
      {0, 5, 31},                 {0, P::kAlternate, 1}};
  for (const auto& step : steps) {
    if (step.pitch > 0) player->m_voicePitch[2] = step.pitch;
    player->p_Kx_PlayNote(2, 0, 0, step.effect, step.parameter);
  }
  player->m_voiceMuted[2] = 1, player->p_Kx_PlayNote(2, 0, 0, P::kSlideUp, 31);  // a resting voice does not slide
  EXPECT_EQ(Sent(kLead, "rate"), (Log{"1", "1.1", "1.2", "1", "2", "4", "4", "1.933", "0.25", "0.25"}));
}

TEST_F(KxSequencer, EachBarTakesTheNextChordRootAndAProgressionIsDrawnWhenOneEnds) {
  SetCell(0, 2, 0, 13, 20);
  Tick(2 * 64);  // an empty chord string keeps every bar at unison
  player->m_chord = String("qbjz ");
  for (int bar = 0; bar < 16; ++bar) player->m_voiceMuted[2] = 0, Tick(64);  // the lead rests in no section here
  const Log roots = Sent(kLead, "rate");
  ASSERT_EQ(roots.size(), 18u);
  EXPECT_EQ(Log(roots.begin(), roots.begin() + 6), (Log{"1", "1", "1", "0.749", "0.891", "0.5"}));
  std::set<Log> progressions;  // the ones the player draws from
  for (int n = 0; n <= 4; ++n) {
    Log rates;
    for (char key : player->p_Kx_GetChord(n).ToUtf8()) rates.push_back(Format(player->p_GetPitch_Alpha(key)));
    progressions.insert(rates);
  }
  for (auto bar = roots.begin() + 6; bar < roots.end(); bar += 4) EXPECT_EQ(progressions.count(Log(bar, bar + 4)), 1u);
}

TEST_F(KxSequencer, SectionsLastTwoOrFourBarsDrawTheirPatternsAndRestsAndBothDrumsNeverRest) {
  for (int v = 0; v < 5; ++v) player->m_patternCount[v] = 6, player->m_voiceMutedNext[v] = 1;
  Tick(64);  // rests drawn for the first section apply after the first bar
  for (int v = 0; v < 5; ++v) EXPECT_EQ(player->m_voiceMuted[v], v == 0 ? 0 : 1) << v;
  std::set<int> lengths, patterns;
  int bars = 0, bothDrawn = 0;
  for (int bar = 0; bar < 300; ++bar) {
    const int section = player->m_section;
    const bool both = player->m_voiceMutedNext[0] == 1 && player->m_voiceMutedNext[1] == 1;
    Tick(64), ++bars;
    for (int v = 0; v < 5; ++v) patterns.insert(player->m_voicePattern[v]);
    if (player->m_section == section) continue;
    lengths.insert(bars), bars = 0;
    ASSERT_FALSE(player->m_voiceMuted[0] == 1 && player->m_voiceMuted[1] == 1) << bar;
    EXPECT_TRUE(!both || (player->m_voiceMuted[0] == 0 && player->m_voiceMuted[1] == 1)) << bar;
    bothDrawn += both;
  }
  EXPECT_EQ(lengths, (std::set<int>{2, 4}));
  EXPECT_EQ(patterns, (std::set<int>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_GT(bothDrawn, 10);
}

TEST_F(KxHooks, PauseMusicOffAndStopSilenceTheSoundingVoicesOnceAndHoldTheStepAndPlayGoesOn150MsAfter) {
  // Paused, music off, stopped, stopped through the state; the second time there is nothing to silence.
  for (int way = 0; way < 4; ++way) {
    player = NewPlayer();
    for (int v : {0, 2, 3, 4}) SetCell(0, v, 0, 13, 20);  // all voices but kit B start sounding
    Tick(), Commands().clear();
    const int at = Clock()->now = player->m_nextStepMs + 500;  // a step is overdue
    if (way == 3) player->m_state = P::kStopped;
    for (int twice = 0; twice < 2; ++twice) way == 2 ? player->p_Kx_Stop(0) : player->p_Kx_Alive_U(way == 0, way != 1);
    EXPECT_EQ(Commands(), (Log{"31 stop", "29 stop", "28 stop", "27 stop"})) << way;
    EXPECT_EQ(player->m_step, 1) << way;
    for (int wait = 150; way == 0 && wait <= 151; ++wait) {  // play goes on 150 ms after the paused update
      Clock()->now = at + wait, player->p_Kx_Alive_U(0, 1);
      EXPECT_EQ(player->m_step, wait - 149);
    }
  }
  player->m_state = P::kPlaying, player->p_Kx_Stop(1), Tick();  // a full stop stops the player for good
  EXPECT_EQ(player->m_step, 1);
}

TEST_F(KxHooks, VoicesWhoseChannelsAreNotSampleChannelsStaySilent) {
  for (int v = 0; v < 5; ++v) SetCell(0, v, 0, 13, 20, P::kSlideUp, 9);
  // Below a base of 34 the drums would land on the music channel and beyond the last channel.
  player->p_Kx_Init(34, 0, 0, 0, 0);
  Tick(), player->p_Kx_Stop(0);
  for (const std::string& line : Commands()) EXPECT_TRUE(std::stoi(line) >= 1 && std::stoi(line) <= 31) << line;
  EXPECT_EQ(Sent(31, "play"), Log{"v2 1"});
  EXPECT_EQ(Sent(31, "stop").size(), 2u);
  Commands().clear(), player->p_Kx_Init(1, 0, 0, 0, 0), Tick(), player->p_Kx_Stop(1);  // all below 1
  EXPECT_TRUE(Commands().empty());
}

}  // namespace
