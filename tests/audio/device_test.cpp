// The audio device over OpenAL Soft's loopback output: what is heard (pitch, rate, pan, volume,
// loops, streamed music), the channel states against OpenAL's own, suspend and resume, and the
// life of samples and their buffers.
#include <gtest/gtest.h>

#include <algorithm>
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

bool Same(const Mix& a, const Mix& b) { return a.left == b.left && a.right == b.right; }

Mix Join(Mix a, const Mix& b) {
  a.left.insert(a.left.end(), b.left.begin(), b.left.end());
  a.right.insert(a.right.end(), b.right.begin(), b.right.end());
  return a;
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
    // A stereo tune of many pieces and pages, neither a whole number of pieces nor of periods.
    ASSERT_TRUE(RunTool("sox -n -r 44100 -b 16 -c 2 " + sounds->Path("sweep.wav") +
                        " synth 1.03 sine 200-2000 whitenoise vol 0.5"));
    ASSERT_TRUE(RunTool("oggenc -Q -o " + sounds->Path("sweep.ogg") + " " + sounds->Path("sweep.wav")));
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
  String Tune(const std::string& name) { return String::FromUtf8(sounds->Path(name)); }
  // The sweep decoded whole and played on channel 0, once or looping, from a quiet mix.
  Mix Whole(int flags, double seconds) {
    out->RenderSeconds(0.05);
    audio->PlaySample(Load("sweep.ogg"), 0, flags);
    Mix mix = out->RenderSeconds(seconds);
    audio->StopChannel(0);
    out->RenderSeconds(0.05);
    return mix;
  }

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

TEST_F(AudioDevice, MusicPlaysOnChannel32AtItsOwnVolume) {
  EXPECT_EQ(audio->PlayMusic(Tune("tune.ogg"), 0), 0);
  EXPECT_EQ(audio->MusicState(), 1);
  const double full = Loudness();
  EXPECT_NEAR(Pitch(), 440, 1);
  audio->SetMusicVolume(0.5f);
  EXPECT_NEAR(Loudness() / full, 0.5, 0.02);

  // A tune that cannot be loaded stops the one before and reports -1.
  EXPECT_EQ(audio->PlayMusic(Tune("missing.ogg"), 0), -1);
  EXPECT_EQ(audio->MusicState(), 0);
  EXPECT_EQ(SourceState(32), AL_STOPPED);
}

// Streamed, the tune renders the very samples of its whole decode: to its end and then silence,
// or across every join with neither gap nor click when it loops.
TEST_F(AudioDevice, AStreamedTuneRendersExactlyItsWholeDecodeOnceOrLooping) {
  for (int flags : {0, 1}) {
    SCOPED_TRACE(flags);
    Mix whole = Whole(flags, 2.6);
    ASSERT_EQ(audio->PlayMusic(Tune("sweep.ogg"), flags), 0);
    EXPECT_TRUE(Same(out->RenderSeconds(2.6), whole));
    EXPECT_EQ(audio->MusicState(), flags);
    audio->StopMusic();
  }
}

// Pausing or suspending holds the tune where it is. So does a host too busy to refill the queue in
// time: that leaves a gap, but the tune goes on where it ran dry at the next refill, unless held.
TEST_F(AudioDevice, PauseSuspendAndADryQueueHoldTheStreamedTunesPlace) {
  Mix whole = Whole(0, 1.03);
  for (int row = 0; row < 4; ++row) {
    const bool suspend = row & 1, dry = row & 2;
    SCOPED_TRACE(row);
    audio->PlayMusic(Tune("sweep.ogg"), 0);
    Mix heard = out->RenderSeconds(dry ? 0.6 : 0.4, !dry);
    size_t played = heard.left.size();
    while (dry && heard.left[played - 1] == 0) --played;
    heard.left.resize(played);
    heard.right.resize(played);
    EXPECT_EQ(audio->MusicState(), 1);
    suspend ? audio->Suspend() : audio->PauseMusic();
    EXPECT_EQ(Rms(out->RenderSeconds(0.3).left), 0);
    EXPECT_EQ(audio->MusicState(), suspend ? 1 : 2);
    suspend ? audio->Resume() : audio->ResumeMusic();
    EXPECT_TRUE(Same(Join(heard, out->Render(int(whole.left.size() - played))), whole));
    audio->StopMusic();
  }
}

// Stopping between refills, one tune started over another, damaged files: each tune ends quietly,
// and the next starts from its first frame with nothing of an old one left in its queue.
TEST_F(AudioDevice, StoppedReplacedAndDamagedTunesEndQuietly) {
  Mix whole = Whole(0, 0.5);
  audio->PlayMusic(Tune("sweep.ogg"), 0);
  out->RenderSeconds(0.3, false);
  audio->StopMusic();
  EXPECT_EQ(audio->MusicState(), 0);
  EXPECT_EQ(Rms(out->RenderSeconds(0.2).left), 0);
  audio->PlayMusic(Tune("a440.wav"), 1);  // loaded whole, on a looping source
  audio->PlayMusic(Tune("sweep.ogg"), 0);
  EXPECT_TRUE(Same(out->RenderSeconds(0.5), whole));

  using Bytes = std::vector<unsigned char>;
  Bytes sweep = ReadBytes(sounds->Path("sweep.ogg")), tune = ReadBytes(sounds->Path("tune.ogg"));
  Bytes seed = ReadBytes(ZUDODO_SOURCE_DIR "/fuzz/corpus/ogg/seed-stereo-44k-q10.ogg");
  auto upTo = [](const Bytes& v, size_t end) { return Bytes(v.begin(), v.begin() + long(end)); };
  auto flip = [](Bytes v) { for (size_t i = v.size() / 2; i < v.size() / 2 + 40; ++i) v[i] ^= 0x5a; return v; };
  const char* page = "OggS";  // where the next page after the one at `at` starts:
  auto next = [&](const Bytes& v, size_t at) { return size_t(std::search(v.begin() + long(at) + 1, v.end(), page, page + 4) - v.begin()); };
  // The first page of another stream after the tune, with no headers following it, is damage.
  Bytes followed = sweep;
  followed.insert(followed.end(), tune.begin(), tune.begin() + long(next(tune, 0)));
  struct { const char* what; Bytes bytes; int flags, result; } files[] = {
      {"seed cut in half", upTo(seed, seed.size() / 2), 0, -1},
      {"seed with flipped bits", flip(seed), 0, -1},
      {"tune cut in half", upTo(sweep, sweep.size() / 2), 0, 0},
      {"tune with flipped bits", flip(sweep), 0, 0},
      {"looping tune followed by damage", followed, 1, 0},
      {"looping headers without a frame", upTo(sweep, next(sweep, next(sweep, 0))), 1, -1}};
  for (const auto& file : files) {
    SCOPED_TRACE(file.what);
    WriteBytes(sounds->Path("damaged.ogg"), file.bytes);
    EXPECT_EQ(audio->PlayMusic(Tune("damaged.ogg"), file.flags), file.result);
    out->RenderSeconds(2);
    EXPECT_EQ(audio->MusicState(), 0);
  }
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
