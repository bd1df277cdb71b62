// The game's hooks into the player: pausing, the music setting and stopping silence it, the voices
// keep to their channels, loading holds the sequencer, and the collector keeps what a player holds.
// That starting the demo song clears an earlier song's leftovers is checked in loading_gl_test.cpp.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>

#include "music_support.h"

namespace {

using namespace kxtest;

c_KxPlayer* rooted_player = nullptr;

class KxHooks : public KxFixture {};

TEST_F(KxHooks, PauseMusicOffAndStopSilenceTheSoundingVoicesOnceAndHoldTheStep) {
  const std::function<void(c_KxPlayer*)> silencers[] = {
      [](c_KxPlayer* p) { p->p_Kx_Alive_U(1, 1); },  // paused
      [](c_KxPlayer* p) { p->p_Kx_Alive_U(0, 0); },  // music switched off
      [](c_KxPlayer* p) { p->p_Kx_Stop(0); },
      [](c_KxPlayer* p) { p->m_state = c_KxPlayer::kStopped, p->p_Kx_Alive_U(0, 1); },  // stopped through its state
  };
  for (const auto& silence : silencers) {
    player = NewPlayer();
    for (int v : {0, 2, 3, 4}) SetCell(0, v, 0, 13, 20);  // all voices but kit B start sounding
    Tick();
    Commands().clear();
    Clock()->now = player->m_nextStepMs + 500;  // a step is overdue
    silence(player);
    silence(player);  // nothing more to silence
    EXPECT_EQ(Commands(), (Log{"31 stop", "29 stop", "28 stop", "27 stop"}));
    EXPECT_EQ(player->m_step, 1);
  }
  // A full stop stops the player for good, however late the update.
  player->m_state = c_KxPlayer::kPlaying;
  player->p_Kx_Stop(1);
  EXPECT_EQ(player->m_state, c_KxPlayer::kStopped);
  Tick();
  EXPECT_EQ(player->m_step, 1);
}

TEST_F(KxHooks, PlayGoesOn150MsAfterAPauseFromTheSameStepAndAtOnceWhenTheMusicIsOnAgain) {
  std::vector<int> steps;
  const auto update = [&](int now, int paused, int enabled) {
    Clock()->now = now;
    player->p_Kx_Alive_U(paused, enabled);
    steps.push_back(player->m_step);
  };
  update(player->m_nextStepMs + 500, 1, 1);  // a step is overdue
  update(Clock()->now + 1000, 1, 1);         // held for as long as the pause lasts
  const int end = Clock()->now;
  update(end + 150, 0, 1);
  update(end + 151, 0, 1);
  const int due = player->m_nextStepMs;
  update(due + 500, 0, 0);  // switched off: the due time holds
  EXPECT_EQ(player->m_nextStepMs, due);
  update(due + 500, 0, 1);
  EXPECT_EQ(steps, (std::vector<int>{0, 0, 0, 1, 1, 2}));
}

TEST_F(KxHooks, VoicesWhoseChannelsAreNotSampleChannelsStaySilent) {
  for (int v = 0; v < 5; ++v) SetCell(0, v, 0, 13, 20, c_KxPlayer::kSlideUp, 9);
  // Below a base of 34 the drums would land on the music channel and beyond the last channel.
  player->p_Kx_Init(34, 0, 0, 0, 0);
  Tick();
  player->p_Kx_Stop(0);
  for (const std::string& line : Commands()) EXPECT_TRUE(std::stoi(line) >= 1 && std::stoi(line) <= 31) << line;
  EXPECT_EQ(Sent(31, "play"), Log{"v2 1"});
  EXPECT_EQ(Sent(31, "stop").size(), 2u);
  Commands().clear();
  player->p_Kx_Init(0, 0, 0, 0, 0);  // without a channel base every channel is below 1
  Tick();
  player->p_Kx_Stop(1);
  EXPECT_TRUE(Commands().empty());
}

TEST_F(KxHooks, LoadingHoldsTheSequencerAndTheRenderHookWaitsForAFrame) {
  player->m_loadStep = 5;
  Tick();
  player->p_Kx_Alive_R();  // no frame is being rendered: loading would have nothing to draw into
  EXPECT_EQ(player->m_loadStep, 5);
  player->m_loadStep = 0;
  Tick();
  EXPECT_EQ(player->m_step, 1);
}

TEST_F(KxHooks, TheCollectorKeepsWhatAReachablePlayerHolds) {
  gc_add_root([] { gc_mark_q(rooted_player); });
  rooted_player = player;
  gc_assign(player->m_songImage, (new c_Image)->m_new());
  c_Sound* loose = (new c_Sound)->m_new(new gxtkSample);
  bbtest::FullCollection();
  EXPECT_TRUE(bbtest::Reclaimed(loose));
  const void* held[] = {player, player->m_songImage, player->m_drumsA[8], player->m_drumsB[1], player->m_voiceSound[4]->m_sample,
                        player->m_settings.GetRep(), player->m_instrument.GetRep(), player->m_drumsA.GetRep(),
                        player->m_drumsB.GetRep(), player->m_voiceSound.GetRep(), player->m_patterns.GetRep(),
                        player->m_patternCount.GetRep(), player->m_voiceChannel.GetRep(), player->m_voiceSounding.GetRep(),
                        player->m_voicePattern.GetRep(), player->m_voiceMuted.GetRep(), player->m_voiceLeadIn.GetRep(),
                        player->m_voiceMutedNext.GetRep(), player->m_voicePitch.GetRep(), player->m_voiceEnvelope.GetRep(),
                        player->m_voiceLevel.GetRep()};
  for (size_t i = 0; i < std::size(held); ++i) EXPECT_FALSE(bbtest::Reclaimed(held[i])) << i;
}

}  // namespace
