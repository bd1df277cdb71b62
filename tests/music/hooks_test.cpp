// The game's hooks into the player: pausing, the music setting and stopping silence it, the voices
// keep to their channels, loading holds the sequencer, and the collector keeps what a player holds.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>

#include "game/music/demo_song.h"
#include "music_support.h"

namespace {

using namespace kxtest;

c_KxPlayer* rooted_player = nullptr;

class KxHooks : public KxFixture {
 protected:
  // One tick in which drum kit A, lead, accompaniment and bass start sounding (kit B stays quiet).
  void StartFourVoices() {
    SetCell(0, 0, 0, 13, 20);
    for (int v = 2; v <= 4; ++v) SetCell(0, v, 0, 13, 20);
    Tick();
    Commands().clear();
  }
  // The channels stopped, in order.
  std::vector<int> Stopped() {
    std::vector<int> channels;
    for (int ch = 1; ch <= 32; ++ch) {
      for (size_t i = 0; i < Sent(ch, "stop").size(); ++i) channels.push_back(ch);
    }
    return channels;
  }
};

TEST_F(KxHooks, PauseMusicOffAndStopSilenceTheSoundingVoicesOnceAndHoldTheStep) {
  const std::function<void(c_KxPlayer*)> silencers[] = {
      [](c_KxPlayer* p) { p->p_Kx_Alive_U(1, 1); },  // paused
      [](c_KxPlayer* p) { p->p_Kx_Alive_U(0, 0); },  // music switched off
      [](c_KxPlayer* p) { p->p_Kx_Stop(0); },
      [](c_KxPlayer* p) {  // stopped by the game through its state alone
        p->m_state = c_KxPlayer::kStopped;
        p->p_Kx_Alive_U(0, 1);
      },
  };
  for (const auto& silence : silencers) {
    player = NewPlayer();
    StartFourVoices();
    Clock()->now = player->m_nextStepMs + 500;  // a step is overdue
    silence(player);
    EXPECT_EQ(Stopped(), (std::vector<int>{27, 28, 29, 31}));
    Commands().clear();
    silence(player);
    EXPECT_TRUE(Commands().empty()) << "nothing more to silence";
    EXPECT_EQ(player->m_step, 1);
  }
  // A full stop stops the player for good, however late the update.
  player = NewPlayer();
  SetCell(0, 4, 0, 13, 20);
  Tick();
  player->p_Kx_Stop(1);
  EXPECT_EQ(player->m_state, c_KxPlayer::kStopped);
  Tick();
  EXPECT_EQ(Sent(kBass, ""), (Log{"volume 0.3276", "stop", "rate 1", "play v4 1", "stop"}));
}

TEST_F(KxHooks, PlayGoesOn150MsAfterAPauseFromTheSameStepAndAtOnceWhenTheMusicIsOnAgain) {
  Clock()->now = player->m_nextStepMs + 500;
  player->p_Kx_Alive_U(1, 1);
  Clock()->now += 1000;
  player->p_Kx_Alive_U(1, 1);  // held for as long as the pause lasts
  const int end = Clock()->now;
  std::vector<int> steps;
  for (int now : {end + 150, end + 151}) {
    Clock()->now = now;
    player->p_Kx_Alive_U(0, 1);
    steps.push_back(player->m_step);
  }
  const int due = player->m_nextStepMs;
  Clock()->now = due + 500;
  player->p_Kx_Alive_U(0, 0);  // switched off: the due time holds
  EXPECT_EQ(player->m_nextStepMs, due);
  player->p_Kx_Alive_U(0, 1);
  steps.push_back(player->m_step);
  EXPECT_EQ(steps, (std::vector<int>{0, 1, 2}));
}

TEST_F(KxHooks, VoicesWhoseChannelsAreNotSampleChannelsStaySilent) {
  for (int v = 0; v < 5; ++v) {
    for (int s = 0; s < 4; ++s) SetCell(0, v, s, 13, 20, c_KxPlayer::kSlideUp, 9);
  }
  // Below a base of 34 the drums would land on the music channel and beyond the last channel.
  player->p_Kx_Init(34, 0, 0, 0, 0);
  Tick();
  player->p_Kx_Stop(0);
  for (const std::string& line : Commands()) EXPECT_TRUE(std::stoi(line) >= 1 && std::stoi(line) <= 31) << line;
  EXPECT_EQ(Sent(31, "play"), Log{"v2 1"});
  EXPECT_EQ(Sent(31, "stop").size(), 2u);
  // Without a channel base every channel is below 1.
  Commands().clear();
  player->p_Kx_Init(0, 0, 0, 0, 0);
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

TEST_F(KxHooks, StartingTheDemoSongClearsTheLeftoversOfAnEarlierSong) {
  player->m_step = 17;
  player->m_section = 5;
  player->m_repeatsLeft = 3;
  player->m_state = c_KxPlayer::kStopped;
  for (int v = 0; v < 8; ++v) {
    player->m_patternCount[v] = player->m_voicePattern[v] = player->m_voiceMuted[v] = 1;
    player->m_voiceMutedNext[v] = player->m_voiceLeadIn[v] = 1;
  }
  bb_music_StartDemoSong(player);
  EXPECT_EQ(std::vector<int>({player->m_loadStep, player->m_state, player->m_step, player->m_section, player->m_repeatsLeft}),
            std::vector<int>({1, c_KxPlayer::kPlaying, 0, 0, 0}));
  for (int v = 0; v < 8; ++v) {
    EXPECT_EQ(player->m_patternCount[v] + player->m_voicePattern[v] + player->m_voiceMuted[v] + player->m_voiceMutedNext[v] +
                  player->m_voiceLeadIn[v],
              0)
        << v;
  }
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
  rooted_player = nullptr;
  bbtest::FullCollection();
  EXPECT_TRUE(bbtest::Reclaimed(player) && bbtest::Reclaimed(player->m_patterns.GetRep()));
}

}  // namespace
