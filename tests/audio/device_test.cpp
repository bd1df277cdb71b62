// The audio device over OpenAL Soft's loopback output: what is heard (pitch, rate, pan, volume,
// loops, music), the channel states against OpenAL's own, suspend and resume, and the life of
// samples and their buffers.
#include <gtest/gtest.h>

#include <memory>

#include "audio_support.h"

namespace {

using bbtest::Rms;

class AudioDevice : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!BBGlfwGame::_glfwGame) new BBGlfwGame;
    bbtest::Ogg(bbtest::Sine("a440.wav", 22050, "-b 16 -c 1", "2"));
    bbtest::Sine("e660.wav", 22050, "-b 16 -c 1", "2", 660);
    bbtest::Sine("blip.wav", 22050, "-b 16 -c 1", "0.1");
  }
  void SetUp() override {
    gc_init();
    gc_clear_roots();
    out = std::make_unique<bbtest::Loopback<>>();
    audio = out->audio;
    gc_add_root([] { gc_mark_q(bb_audio_device); });
  }
  void TearDown() override { out.reset(); }

  gxtkSample* Load(const std::string& name) { return audio->LoadSample(String::FromUtf8(bbtest::ScratchFolder() + name)); }
  ALint SourceState(int channel) {
    ALint state = 0;
    alGetSourcei(audio->channels[channel].source, AL_SOURCE_STATE, &state);
    return state;
  }
  // The left channel of the next quarter second, past the fade OpenAL applies to a change.
  std::vector<float> Left(double seconds = 0.25) { return out->Render(seconds, 2048).left; }
  double Pitch() { return bbtest::Frequency(Left(), bbtest::Loopback<>::kRate); }

  std::unique_ptr<bbtest::Loopback<>> out;
  gxtkAudio* audio = nullptr;
};

TEST_F(AudioDevice, SamplesAreHeardAtTheirPitchTimesTheRateAndAtTheVolumeAndPanOfTheirChannel) {
  audio->PlaySample(Load("a440.wav"), 0, 1);
  EXPECT_NEAR(Pitch(), 440, 1);
  const double full = Rms(Left());
  audio->SetRate(0, 2);
  audio->SetVolume(0, 0.5f);
  audio->PlaySample(Load("e660.wav"), 0, 1);  // cuts the first; rate and volume stay with the channel
  EXPECT_NEAR(Pitch(), 1320, 3);
  EXPECT_NEAR(Rms(Left()) / full, 0.5, 0.01);
  audio->SetVolume(5, 1);  // a channel that never played gets its source here
  audio->PlaySample(Load("a440.wav"), 5, 1);
  audio->StopChannel(0);
  const struct {
    float pan;
    double low, high;  // of the right channel's loudness over the left's
  } cases[] = {{0, 0.99, 1.01}, {1, 2, 1e9}, {-1, 0, 0.5}};
  for (const auto& c : cases) {
    audio->SetPan(5, c.pan);
    const bbtest::Mix mix = out->Render(0.25, 2048);
    EXPECT_TRUE(Rms(mix.right) / Rms(mix.left) > c.low && Rms(mix.right) / Rms(mix.left) < c.high) << c.pan;
  }
}

TEST_F(AudioDevice, OneShotsEndByThemselvesLoopsPlayUntilStoppedAndPausesSurviveSuspend) {
  gxtkSample* blip = Load("blip.wav");
  audio->PlaySample(blip, 0, 0);
  audio->PlaySample(blip, 1, 1);
  audio->PlaySample(blip, 2, 0);
  EXPECT_EQ(audio->ChannelState(0), 1);
  const std::vector<float> left = out->Render(0.5).left;
  EXPECT_GT(Rms({left.end() - 4410, left.end()}), 0.1);  // the loop still sounds in the last tenth
  EXPECT_EQ(audio->ChannelState(0), 0);
  audio->PauseChannel(2);  // ended: only noted as stopped
  audio->ResumeChannel(2);
  EXPECT_EQ(audio->channels[2].state, 0);
  EXPECT_EQ(SourceState(2), AL_STOPPED);
  audio->StopChannel(1);
  EXPECT_LT(Rms(Left(0.1)), 1e-4);

  audio->PlaySample(Load("a440.wav"), 0, 1);
  audio->PlaySample(Load("e660.wav"), 1, 1);
  audio->PauseChannel(1);
  audio->ResumeChannel(0);  // already playing: nothing to do
  EXPECT_NEAR(Pitch(), 440, 1);
  audio->Suspend();
  EXPECT_EQ(audio->ChannelState(0), 1);  // paused for OpenAL only
  EXPECT_LT(Rms(Left(0.1)), 1e-4);
  audio->Resume();
  EXPECT_EQ(audio->ChannelState(1), 2);  // paused by the game stays paused
  EXPECT_EQ(SourceState(1), AL_PAUSED);
  EXPECT_NEAR(Pitch(), 440, 1);
  audio->ResumeChannel(1);
  EXPECT_EQ(SourceState(1), AL_PLAYING);
}

TEST_F(AudioDevice, MusicPlaysAWholeOggFileOnItsOwnChannel) {
  EXPECT_EQ(audio->PlayMusic(String::FromUtf8(bbtest::ScratchFolder() + "a440.ogg"), 0), 0);
  EXPECT_EQ(audio->MusicState(), 1);
  const double full = Rms(Left());
  EXPECT_NEAR(Pitch(), 440, 1);
  audio->SetMusicVolume(0.5f);
  EXPECT_NEAR(Rms(Left()) / full, 0.5, 0.02);
  audio->PauseMusic();
  EXPECT_EQ(audio->MusicState(), 2);
  EXPECT_LT(Rms(Left(0.1)), 1e-4);
  audio->ResumeMusic();
  EXPECT_EQ(audio->MusicState(), 1);
  // A tune that cannot be loaded stops the one before and reports -1.
  EXPECT_EQ(audio->PlayMusic(String::FromUtf8(bbtest::ScratchFolder() + "missing.ogg"), 0), -1);
  EXPECT_EQ(audio->MusicState(), 0);
  EXPECT_EQ(SourceState(gxtkAudio::kMusicChannel), AL_STOPPED);
}

TEST_F(AudioDevice, ADiscardedBufferIsDeletedOnlyOnceNoSourceHoldsIt) {
  gxtkSample* blip = Load("blip.wav");
  ALuint name = blip->buffer;
  audio->PlaySample(blip, 0, 0);
  blip->Discard();
  blip->Discard();
  gxtkSample* other = Load("e660.wav");  // flushes while the blip still plays
  EXPECT_EQ(gxtkAudio::discarded, std::vector<ALuint>{name});
  out->Render(0.3);
  EXPECT_TRUE(alIsBuffer(name));  // nothing flushes until the next play or load
  audio->PlaySample(other, 1, 0);
  EXPECT_TRUE(gxtkAudio::discarded.empty());
  EXPECT_FALSE(alIsBuffer(name));
  // An error left behind by an unrelated call is not taken for a failed deletion.
  gxtkSample* idle = Load("blip.wav");
  name = idle->buffer;
  idle->Discard();
  alSourcef(0x7fffffff, AL_GAIN, 1);
  audio->PlaySample(other, 1, 0);
  EXPECT_FALSE(alIsBuffer(name));
}

TEST_F(AudioDevice, ASampleLivesWhileAudibleAndADestroyedOneGivesItsBufferBackLikeDiscard) {
  gxtkSample* blip = Load("blip.wav");
  audio->PlaySample(blip, 0, 0);  // only the channel refers to it now
  audio->PauseChannel(0);
  bbtest::FullCollection();
  EXPECT_FALSE(bbtest::Reclaimed(blip));  // paused counts as audible
  audio->ResumeChannel(0);
  bbtest::FullCollection();
  EXPECT_FALSE(bbtest::Reclaimed(blip));
  out->Render(0.3);
  bbtest::FullCollection();
  EXPECT_TRUE(bbtest::Reclaimed(blip));
  const ALuint name = blip->buffer;
  blip->SetBuffer(0);
  { gxtkSample dying(name); }
  EXPECT_EQ(gxtkAudio::discarded, std::vector<ALuint>{name});
  Load("e660.wav");
  EXPECT_TRUE(gxtkAudio::discarded.empty());
}

}  // namespace
