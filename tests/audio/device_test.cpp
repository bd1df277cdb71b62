// The audio device over OpenAL Soft's loopback output: what is heard (pitch, rate, pan, volume,
// loops, music), the channel states against OpenAL's own, suspend and resume, and the life of
// samples and their buffers.
#include <gtest/gtest.h>

#include <memory>

#include "audio_support.h"
#include "runtime/host/game.h"
#include "runtime/object/gc.h"

namespace {

gxtkAudio* device_root = nullptr;
ScratchDir* sounds = nullptr;

// The tail of a channel of the mix, past the fade OpenAL applies when a source starts or changes.
std::vector<float> Settled(const std::vector<float>& samples) {
  return std::vector<float>(samples.begin() + 2048, samples.end());
}

class AudioDevice : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!BBGlfwGame::_glfwGame) new BBGlfwGame;
    sounds = new ScratchDir;
    auto sine = [](const std::string& file, const std::string& length, int hertz) {
      ASSERT_TRUE(RunTool("sox -n -r 22050 -b 16 -c 1 " + sounds->Path(file) + " synth " + length +
                          " sine " + std::to_string(hertz) + " vol 0.5"));
    };
    sine("a440.wav", "2", 440);
    sine("e660.wav", "2", 660);
    sine("blip.wav", "0.1", 440);
    ASSERT_TRUE(RunTool("oggenc -Q -o " + sounds->Path("tune.ogg") + " " + sounds->Path("a440.wav")));
  }
  static void TearDownTestSuite() {
    delete sounds;
    sounds = nullptr;
  }
  void SetUp() override {
    gc_init();
    gc_clear_roots();
    gxtkAudio::discarded.clear();
    out = std::make_unique<LoopbackAudio>();
    audio = out->audio;
    device_root = audio;
    gc_add_root([] { gc_mark_q(device_root); });
  }
  void TearDown() override {
    device_root = nullptr;
    ForgetAllObjects();
  }
  gxtkSample* Load(const std::string& name) {
    return audio->LoadSample(String::FromUtf8(sounds->Path(name)));
  }
  ALint SourceState(int channel) {
    ALint state = 0;
    alGetSourcei(audio->channels[channel].source, AL_SOURCE_STATE, &state);
    return state;
  }
  double Pitch(double seconds = 0.25) { return Frequency(Settled(out->RenderSeconds(seconds).left), LoopbackAudio::kRate); }
  double Loudness(double seconds = 0.25) { return Rms(Settled(out->RenderSeconds(seconds).left)); }

  std::unique_ptr<LoopbackAudio> out;
  gxtkAudio* audio = nullptr;
};

TEST_F(AudioDevice, ASampleIsHeardAtItsPitchAndTheRateScalesIt) {
  gxtkSample* tone = Load("a440.wav");
  ASSERT_TRUE(tone);
  audio->PlaySample(tone, 0, 0);
  EXPECT_NEAR(Pitch(), 440, 1);
  audio->SetRate(0, 2);
  audio->PlaySample(tone, 0, 0);  // the rate belongs to the channel and stays
  EXPECT_NEAR(Pitch(), 880, 2);
}

TEST_F(AudioDevice, PanMovesTheSoundAroundTheFrontOfTheListener) {
  gxtkSample* tone = Load("a440.wav");
  audio->SetPan(0, 0);
  audio->PlaySample(tone, 0, 1);
  Mix centre = out->RenderSeconds(0.25);
  EXPECT_NEAR(Rms(Settled(centre.left)) / Rms(Settled(centre.right)), 1, 0.01);

  audio->SetPan(0, 1);
  Mix right = out->RenderSeconds(0.25);
  EXPECT_GT(Rms(Settled(right.right)), 2 * Rms(Settled(right.left)));

  audio->SetPan(0, -1);
  Mix left = out->RenderSeconds(0.25);
  EXPECT_GT(Rms(Settled(left.left)), 2 * Rms(Settled(left.right)));
}

TEST_F(AudioDevice, VolumeScalesTheAmplitudeAndIsKeptByTheChannel) {
  gxtkSample* tone = Load("a440.wav");
  audio->PlaySample(tone, 0, 1);
  double full = Loudness();
  EXPECT_GT(full, 0.1);
  audio->StopChannel(0);
  // A channel that never played gets its source from SetVolume, and keeps the gain.
  audio->SetVolume(5, 0.5f);
  EXPECT_NE(audio->channels[5].source, 0u);
  audio->PlaySample(tone, 5, 1);
  EXPECT_NEAR(Loudness() / full, 0.5, 0.01);
}

TEST_F(AudioDevice, OneShotsEndByThemselvesAndLoopsPlayUntilStopped) {
  gxtkSample* blip = Load("blip.wav");
  audio->PlaySample(blip, 0, 0);
  audio->PlaySample(blip, 1, 1);
  audio->PlaySample(blip, 2, 0);
  EXPECT_EQ(audio->ChannelState(0), 1);
  Mix mix = out->RenderSeconds(0.5);
  // Channel 1 still sounds in the last tenth of a second, channel 0 ended long before.
  EXPECT_GT(Rms(std::vector<float>(mix.left.end() - 4410, mix.left.end())), 0.1);
  EXPECT_EQ(audio->ChannelState(0), 0);
  EXPECT_EQ(audio->channels[0].state, 0);
  EXPECT_EQ(audio->ChannelState(1), 1);
  EXPECT_EQ(audio->channels[1].flags, 1);

  // Pausing a sound that has ended only notes that it has stopped.
  EXPECT_EQ(audio->channels[2].state, 1);
  audio->PauseChannel(2);
  EXPECT_EQ(audio->channels[2].state, 0);
  EXPECT_EQ(SourceState(2), AL_STOPPED);
  // Resuming a stopped or playing channel, or stopping a stopped one, changes nothing.
  audio->ResumeChannel(2);
  audio->ResumeChannel(1);
  audio->StopChannel(0);
  EXPECT_EQ(SourceState(2), AL_STOPPED);
  EXPECT_EQ(audio->ChannelState(2), 0);
  EXPECT_EQ(audio->ChannelState(1), 1);

  audio->StopChannel(1);
  EXPECT_EQ(audio->ChannelState(1), 0);
  EXPECT_LT(Loudness(0.1), 1e-4);
}

TEST_F(AudioDevice, StartingASampleCutsWhatTheChannelPlayed) {
  gxtkSample* a = Load("a440.wav");
  gxtkSample* e = Load("e660.wav");
  audio->PlaySample(a, 3, 1);
  out->RenderSeconds(0.1);
  audio->PlaySample(e, 3, 0);
  EXPECT_NEAR(Pitch(), 660, 1);
  EXPECT_EQ(audio->channels[3].sample, e);
  EXPECT_EQ(audio->channels[3].flags, 0);
}

TEST_F(AudioDevice, ChannelsPausedByTheGameStayPausedAcrossSuspendAndResume) {
  audio->PlaySample(Load("a440.wav"), 0, 1);
  audio->PlaySample(Load("e660.wav"), 1, 1);
  audio->PauseChannel(1);
  EXPECT_EQ(audio->ChannelState(1), 2);
  EXPECT_NEAR(Pitch(), 440, 1);

  audio->Suspend();
  EXPECT_EQ(SourceState(0), AL_PAUSED);
  EXPECT_EQ(audio->ChannelState(0), 1);
  EXPECT_LT(Loudness(0.1), 1e-4);

  audio->Resume();
  EXPECT_EQ(SourceState(0), AL_PLAYING);
  EXPECT_EQ(SourceState(1), AL_PAUSED);
  EXPECT_EQ(audio->ChannelState(1), 2);
  EXPECT_NEAR(Pitch(), 440, 1);

  audio->ResumeChannel(1);
  EXPECT_EQ(SourceState(1), AL_PLAYING);
  EXPECT_EQ(audio->ChannelState(1), 1);
}

TEST_F(AudioDevice, MusicPlaysAWholeOggFileOnChannel32) {
  EXPECT_EQ(audio->PlayMusic(String::FromUtf8(sounds->Path("tune.ogg")), 0), 0);
  EXPECT_EQ(audio->MusicState(), 1);
  const double full = Loudness();
  EXPECT_NEAR(Pitch(), 440, 1);
  audio->SetMusicVolume(0.5f);
  EXPECT_NEAR(Loudness() / full, 0.5, 0.02);

  audio->PauseMusic();
  EXPECT_EQ(audio->MusicState(), 2);
  EXPECT_LT(Loudness(0.1), 1e-4);
  audio->ResumeMusic();
  EXPECT_EQ(audio->MusicState(), 1);
  EXPECT_GT(Loudness(0.1), 0.05);

  // A tune that cannot be loaded stops the one before and reports -1.
  EXPECT_EQ(audio->PlayMusic(String::FromUtf8(sounds->Path("missing.ogg")), 0), -1);
  EXPECT_EQ(audio->MusicState(), 0);
  EXPECT_EQ(SourceState(32), AL_STOPPED);
}

TEST_F(AudioDevice, ADiscardedBufferIsDeletedOnlyOnceNoSourceHoldsIt) {
  gxtkSample* blip = Load("blip.wav");
  ALuint name = blip->buffer;
  audio->PlaySample(blip, 0, 0);
  blip->Discard();
  EXPECT_EQ(blip->buffer, 0u);
  ASSERT_EQ(gxtkAudio::discarded, std::vector<ALuint>{name});

  gxtkSample* other = Load("e660.wav");  // flushes while the blip still plays
  EXPECT_EQ(gxtkAudio::discarded, std::vector<ALuint>{name});
  EXPECT_TRUE(alIsBuffer(name));
  out->RenderSeconds(0.3);
  EXPECT_EQ(gxtkAudio::discarded.size(), 1u);  // nothing flushes until the next play or load
  audio->PlaySample(other, 1, 0);
  EXPECT_TRUE(gxtkAudio::discarded.empty());
  EXPECT_FALSE(alIsBuffer(name));

  // An error left behind by an unrelated call is not taken for a failed deletion.
  gxtkSample* idle = Load("blip.wav");
  name = idle->buffer;
  idle->Discard();
  alSourcef(0x7fffffff, AL_GAIN, 1);
  audio->PlaySample(other, 1, 0);
  EXPECT_TRUE(gxtkAudio::discarded.empty());
  EXPECT_FALSE(alIsBuffer(name));
}

TEST_F(AudioDevice, ASampleLivesWhileAudibleAndIsReclaimedAfter) {
  gxtkSample* blip = Load("blip.wav");
  audio->PlaySample(blip, 0, 0);  // only the channel refers to it now
  audio->PauseChannel(0);
  FullCollection();
  EXPECT_FALSE(Reclaimed(blip));  // paused counts as audible
  audio->ResumeChannel(0);
  FullCollection();
  EXPECT_FALSE(Reclaimed(blip));
  out->RenderSeconds(0.3);
  FullCollection();
  EXPECT_TRUE(Reclaimed(blip));
}

TEST_F(AudioDevice, ADestroyedSampleGivesItsBufferBackLikeDiscard) {
  gxtkSample* loaded = Load("blip.wav");
  ALuint name = loaded->buffer;
  loaded->SetBuffer(0);
  audio->PlaySample(Load("e660.wav"), 1, 1);
  { gxtkSample dying(name); }
  EXPECT_EQ(gxtkAudio::discarded, std::vector<ALuint>{name});
  EXPECT_TRUE(alIsBuffer(name));
  audio->PlaySample(audio->channels[1].sample, 1, 0);
  EXPECT_FALSE(alIsBuffer(name));
  EXPECT_TRUE(gxtkAudio::discarded.empty());
}

}  // namespace
