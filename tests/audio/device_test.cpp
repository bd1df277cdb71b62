// The audio device over OpenAL Soft's loopback output: what is heard (pitch, rate, pan, volume,
// loops), channel states, suspend and resume (by the game's delegate too), and the life of samples
// and their buffers. The game's own tests play its effects and tunes through the sound module.
#include <gtest/gtest.h>

#include <memory>

#include "audio_support.h"
#include "runtime/host/app.h"

namespace {

using bbtest::Rms;

c_Sound* sound_root = nullptr;

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

  gxtkSample* Load(const char* name) { return audio->LoadSample(String::FromUtf8(bbtest::ScratchFolder() + name)); }
  ALint SourceState(int channel) {
    ALint state = 0;
    alGetSourcei(audio->channels[channel].source, AL_SOURCE_STATE, &state);
    return state;
  }
  // The next stretch of the mix, past the fade OpenAL applies to a change.
  bbtest::Mix Next(double seconds = 0.25) { return out->Render(seconds, 2048); }
  double Pitch() { return bbtest::Frequency(Next().left, bbtest::Loopback<>::kRate); }

  std::unique_ptr<bbtest::Loopback<>> out;
  gxtkAudio* audio = nullptr;
};

TEST_F(AudioDevice, SamplesAreHeardAtTheirPitchTimesTheRateAndAtTheVolumeAndPanOfTheirChannel) {
  audio->PlaySample(Load("a440.ogg"), 0, 1);
  EXPECT_NEAR(Pitch(), 440, 5);
  const double full = Rms(Next().left);
  audio->SetRate(0, 2);
  audio->SetVolume(0, 0.5f);
  audio->PlaySample(Load("e660.wav"), 0, 1);  // cuts the first; rate and volume stay with the channel
  EXPECT_NEAR(Pitch(), 1320, 7);
  EXPECT_NEAR(Rms(Next().left) / full, 0.5, 0.01);
  audio->SetPan(0, 1);
  const bbtest::Mix mix = Next();
  EXPECT_GT(Rms(mix.right), 2 * Rms(mix.left));
}

TEST_F(AudioDevice, OneShotsEndByThemselvesLoopsPlayUntilStoppedAndGamePausesSurviveSuspend) {
  gxtkSample* blip = Load("blip.wav");
  for (int ch = 0; ch < 3; ++ch) audio->PlaySample(blip, ch, ch == 1);
  EXPECT_EQ(audio->ChannelState(0), 1);
  const std::vector<float> left = out->Render(0.5).left;
  EXPECT_GT(Rms({left.end() - 4410, left.end()}), 0.1);  // the loop still sounds in the last tenth
  EXPECT_EQ(audio->ChannelState(0), 0);
  audio->PauseChannel(2);  // ended: only noted as stopped
  audio->ResumeChannel(2);
  EXPECT_EQ(SourceState(2), AL_STOPPED);
  audio->StopChannel(1);
  EXPECT_LT(Rms(Next(0.1).left), 1e-4);
  audio->PlaySample(Load("a440.wav"), 0, 1);
  audio->PlaySample(Load("e660.wav"), 1, 1);
  audio->PauseChannel(1);
  audio->ResumeChannel(0);  // already playing: nothing to do
  audio->Suspend();
  EXPECT_EQ(audio->ChannelState(0), 1);  // paused for OpenAL only
  EXPECT_LT(Rms(Next(0.1).left), 1e-4);
  bb_app__app = new c_App;  // the game's delegate resumes the device with the game
  c_GameDelegate* delegate = (new c_GameDelegate)->m_new();
  delegate->m__audio = audio;
  delegate->ResumeGame();
  EXPECT_EQ(audio->ChannelState(1), 2);  // paused by the game stays paused
  EXPECT_NEAR(Pitch(), 440, 5);
  delegate->SuspendGame();
  EXPECT_EQ(SourceState(0), AL_PAUSED);
  bb_app__app = nullptr;
  audio->ResumeChannel(1);
  EXPECT_EQ(SourceState(1), AL_PLAYING);
  bb_audio_PlaySound(nullptr, 4, 0);  // sounds that failed to load play as silence
  bb_audio_PlaySound((new c_Sound)->m_new2(), 4, 0);
  EXPECT_EQ(audio->channels[4].source, 0u);
}

TEST_F(AudioDevice, ASampleLivesWhileAudibleOrHeldByASoundAndItsBufferIsDeletedOnceNoSourceHoldsIt) {
  gxtkSample* blip = Load("blip.wav");
  const ALuint name = blip->buffer;
  c_Sound* sound = sound_root = (new c_Sound)->m_new(Load("e660.wav"));
  gc_add_root([] { gc_mark_q(sound_root); });
  audio->PlaySample(blip, 0, 0);  // only the channel refers to it now
  audio->PauseChannel(0);
  bbtest::FullCollection();
  EXPECT_FALSE(bbtest::Reclaimed(blip));  // paused counts as audible
  EXPECT_FALSE(bbtest::Reclaimed(sound->m_sample));
  audio->ResumeChannel(0);
  blip->Discard();
  blip->Discard();
  audio->PlaySample(sound->m_sample, 1, 0);  // flushes while the blip still plays
  EXPECT_EQ(gxtkAudio::discarded, std::vector<ALuint>{name});
  out->Render(0.3);
  bbtest::FullCollection();
  EXPECT_TRUE(bbtest::Reclaimed(blip));
  EXPECT_TRUE(alIsBuffer(name));  // nothing flushes until the next play or load
  audio->PlaySample(sound->m_sample, 1, 0);
  EXPECT_FALSE(alIsBuffer(name));
  // A sample destroyed with its buffer gives it back like Discard; an error left behind by an
  // unrelated call is not taken for a failed deletion.
  const ALuint last = Load("blip.wav")->buffer;
  { gxtkSample dying(last); }
  EXPECT_EQ(gxtkAudio::discarded, std::vector<ALuint>{last});
  alSourcef(0x7fffffff, AL_GAIN, 1);
  audio->PlaySample(sound->m_sample, 1, 0);
  EXPECT_TRUE(gxtkAudio::discarded.empty());
}

}  // namespace
