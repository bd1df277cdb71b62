// The game's hooks into the player: pausing, the music setting, stopping, the channels the voices
// use, loading holding the sequencer, and what the collector keeps alive through the player.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "music_support.h"

namespace {

using kxtest::Command;
using kxtest::SetCell;
using kxtest::Tick;

c_KxPlayer* rooted_player = nullptr;

class KxHooks : public ::testing::Test {
 protected:
  void SetUp() override {
    gc_init();
    gc_clear_roots();
    out = std::make_unique<kxtest::Loopback>();
    player = kxtest::NewPlayer();
    gc_add_root([] { gc_mark_q(bb_audio_device); });
    gc_add_root([] { gc_mark_q(rooted_player); });
  }
  void TearDown() override {
    rooted_player = nullptr;
    out.reset();
  }

  std::vector<Command>& Log() { return out->audio->log; }
  // Channels stopped since the log was last cleared.
  std::vector<int> Stopped() {
    std::vector<int> ch;
    for (const Command& c : Log()) {
      if (c.op == Command::Stop) ch.push_back(c.channel);
    }
    return ch;
  }
  // One tick in which drum kit A, lead, accompaniment and bass start sounding (kit B stays quiet).
  void StartFourVoices() {
    SetCell(player, 0, 0, 0, 13, 20);
    for (int v = 2; v <= 4; ++v) SetCell(player, 0, v, 0, 13, 20);
    Tick(player);
    ASSERT_EQ(player->m_step, 1);
    for (int v = 0; v < 5; ++v) ASSERT_EQ(player->m_voiceSounding[v], v == 1 ? 0 : 1) << v;
    Log().clear();
  }

  std::unique_ptr<kxtest::Loopback> out;
  c_KxPlayer* player = nullptr;
};

TEST_F(KxHooks, PausingSilencesEveryVoiceAndPlayResumes150MsAfterThePauseFromTheSameStep) {
  kxtest::ClockHost* clock = kxtest::Clock();
  StartFourVoices();
  clock->now = player->m_nextStepMs + 500;  // a step is overdue
  player->p_Kx_Alive_U(1, 1);
  EXPECT_EQ(Stopped(), (std::vector<int>{31, 29, 28, 27}));
  for (int v = 0; v < 5; ++v) EXPECT_EQ(player->m_voiceSounding[v], 0) << v;
  EXPECT_EQ(player->m_step, 1);
  EXPECT_EQ(player->m_nextStepMs, clock->now + 150);
  // Held for as long as the pause lasts; nothing more to silence.
  Log().clear();
  clock->now += 1000;
  player->p_Kx_Alive_U(1, 1);
  EXPECT_TRUE(Log().empty());
  const int pauseEnd = clock->now;
  EXPECT_EQ(player->m_nextStepMs, pauseEnd + 150);
  clock->now = pauseEnd + 150;
  player->p_Kx_Alive_U(0, 1);
  EXPECT_EQ(player->m_step, 1);
  clock->now = pauseEnd + 151;
  player->p_Kx_Alive_U(0, 1);
  EXPECT_EQ(player->m_step, 2);
}

TEST_F(KxHooks, WithMusicSwitchedOffThePlayerSilencesAndHolds) {
  kxtest::ClockHost* clock = kxtest::Clock();
  StartFourVoices();
  const int due = player->m_nextStepMs;
  clock->now = due + 500;
  player->p_Kx_Alive_U(0, 0);
  EXPECT_EQ(Stopped(), (std::vector<int>{31, 29, 28, 27}));
  EXPECT_EQ(player->m_step, 1);
  EXPECT_EQ(player->m_nextStepMs, due);
  // Switched on again, the overdue step plays at once.
  player->p_Kx_Alive_U(0, 1);
  EXPECT_EQ(player->m_step, 2);
}

TEST_F(KxHooks, StopSilencesTheSoundingVoicesAndAFullStopAlsoStopsThePlayer) {
  StartFourVoices();
  player->p_Kx_Stop(0);
  EXPECT_EQ(Stopped(), (std::vector<int>{31, 29, 28, 27}));
  EXPECT_EQ(player->m_state, c_KxPlayer::kPlaying);
  Log().clear();
  player->p_Kx_Stop(0);
  EXPECT_TRUE(Log().empty());

  Tick(player);  // nothing sounds at step 1
  SetCell(player, 0, 4, 2, 13, 20);
  Tick(player);
  Log().clear();
  player->p_Kx_Stop(1);
  EXPECT_EQ(Stopped(), std::vector<int>{27});
  EXPECT_EQ(player->m_state, c_KxPlayer::kStopped);
  // Stopped, the update hook plays nothing, however late it is.
  Log().clear();
  const int step = player->m_step;
  Tick(player);
  EXPECT_EQ(player->m_step, step);
  EXPECT_TRUE(Log().empty());
}

TEST_F(KxHooks, AStoppedPlayerSilencesWhateverStillSoundsAtEveryUpdate) {
  StartFourVoices();
  // The game stops the player by its state alone.
  player->m_state = c_KxPlayer::kStopped;
  player->p_Kx_Alive_U(0, 1);
  EXPECT_EQ(Stopped(), (std::vector<int>{31, 29, 28, 27}));
}

TEST_F(KxHooks, VoicesWhoseChannelsAreNotSampleChannelsStaySilent) {
  for (int v = 0; v < 5; ++v) {
    for (int s = 0; s < 4; ++s) SetCell(player, 0, v, s, 13, 20, c_KxPlayer::kSlideUp, 9);
  }
  // Below a base of 34 the drums would land on the music channel and beyond the last channel.
  player->p_Kx_Init(34, 0, 0, 0, 0);
  Tick(player);
  for (const Command& c : Log()) {
    EXPECT_GE(c.channel, 1);
    EXPECT_LE(c.channel, 31);
  }
  EXPECT_EQ(player->m_voiceSounding[0] + player->m_voiceSounding[1], 0);
  EXPECT_EQ(player->m_voiceSounding[2] + player->m_voiceSounding[3] + player->m_voiceSounding[4], 3);
  // Without an initialised base every channel is below 1.
  Log().clear();
  player->p_Kx_Init(0, 0, 0, 0, 0);
  Tick(player);
  player->p_Kx_Stop(1);
  EXPECT_TRUE(Log().empty());
}

TEST_F(KxHooks, LoadingHoldsTheSequencerAndTheRenderHookWaitsForAFrame) {
  player->m_loadStep = 5;
  Tick(player);
  EXPECT_EQ(player->m_step, 0);
  // No frame is being rendered here: loading would have nothing to draw into.
  player->p_Kx_Alive_R();
  EXPECT_EQ(player->m_loadStep, 5);
  player->m_loadStep = 0;
  Tick(player);
  EXPECT_EQ(player->m_step, 1);
}

TEST_F(KxHooks, TheCollectorKeepsTheSongAndInstrumentsOfAReachablePlayer) {
  rooted_player = player;
  gc_assign(player->m_songImage, (new c_Image)->m_new());
  c_Sound* loose = (new c_Sound)->m_new(new gxtkSample);
  kxtest::FullCollection();
  EXPECT_TRUE(kxtest::Reclaimed(loose));
  EXPECT_FALSE(kxtest::Reclaimed(player));
  EXPECT_FALSE(kxtest::Reclaimed(player->m_songImage));
  EXPECT_FALSE(kxtest::Reclaimed(player->m_drumsA[8]));
  EXPECT_FALSE(kxtest::Reclaimed(player->m_drumsB[1]));
  EXPECT_FALSE(kxtest::Reclaimed(player->m_voiceSound[4]->m_sample));
  EXPECT_FALSE(kxtest::Reclaimed(player->m_patterns.GetRep()));
  EXPECT_FALSE(kxtest::Reclaimed(player->m_voiceEnvelope.GetRep()));
  EXPECT_FALSE(kxtest::Reclaimed(player->m_instrument.GetRep()));
  rooted_player = nullptr;
  kxtest::FullCollection();
  EXPECT_TRUE(kxtest::Reclaimed(player));
  EXPECT_TRUE(kxtest::Reclaimed(player->m_patterns.GetRep()));
}

}  // namespace
