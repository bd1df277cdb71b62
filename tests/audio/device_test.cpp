// The audio device over OpenAL Soft's loopback output: what is heard (pitch, rate, pan, volume,
// loops, streamed music), channel states, suspend and resume (by the game's delegate too), and the
// life of samples and their buffers. The game's own tests play its effects and tunes through the sound module.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "audio_support.h"
#include "runtime/host/app.h"

namespace {

using bbtest::Mix;
using bbtest::Rms;

bool Same(const Mix& a, const Mix& b) { return a.left == b.left && a.right == b.right; }

c_Sound* sound_root = nullptr;

class AudioDevice : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!BBGlfwGame::_glfwGame) new BBGlfwGame;
    bbtest::Ogg(bbtest::Sine("a440.wav", 22050, "-b 16 -c 1", "2"));
    bbtest::Sine("e660.wav", 22050, "-b 16 -c 1", "2", 660);
    bbtest::Sine("blip.wav", 22050, "-b 16 -c 1", "0.1");
    // A stereo tune of many pieces and pages, neither a whole number of pieces nor of periods.
    const std::string sweep = bbtest::ScratchFolder() + "sweep.wav";
    ASSERT_TRUE(bbtest::Run("sox -n -r 44100 -b 16 -c 2 " + sweep + " synth 1.03 sine 200-2000 whitenoise vol 0.5"));
    bbtest::Ogg(sweep);
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
  String Tune(const char* name) { return String::FromUtf8(bbtest::ScratchFolder() + name); }
  // The sweep decoded whole and played on channel 0, once or looping, from a quiet mix.
  Mix Whole(int flags, double seconds) {
    out->Render(0.05), audio->PlaySample(Load("sweep.ogg"), 0, flags);
    Mix mix = out->Render(seconds);
    audio->StopChannel(0), out->Render(0.05);
    return mix;
  }

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

// Streamed, the tune renders the very samples of its whole decode: to its end and then silence,
// or across every join with neither gap nor click when it loops; at the music's own volume. A
// tune that cannot be loaded stops the one before.
TEST_F(AudioDevice, AStreamedTuneRendersExactlyItsWholeDecodeOnceOrLoopingAtItsVolume) {
  for (int flags : {0, 1}) {
    SCOPED_TRACE(flags);
    Mix whole = Whole(flags, 2.6);
    ASSERT_EQ(audio->PlayMusic(Tune("sweep.ogg"), flags), 0);
    EXPECT_TRUE(Same(out->Render(2.6), whole));
    EXPECT_EQ(audio->MusicState(), flags);
  }
  const double full = Rms(Next().left);
  audio->SetMusicVolume(0.5f);
  EXPECT_NEAR(Rms(Next().left) / full, 0.5, 0.02);
  EXPECT_EQ(audio->PlayMusic(Tune("missing.ogg"), 0), -1);
  EXPECT_EQ(audio->MusicState() + Rms(out->Render(0.1).left), 0);
}

// Pausing or suspending holds the tune where it is. So does a host too busy to refill the queue in
// time: that leaves a gap, but the tune goes on where it ran dry at the next refill, unless held.
TEST_F(AudioDevice, PauseSuspendAndADryQueueHoldTheStreamedTunesPlace) {
  Mix whole = Whole(0, 1.03);
  for (int row = 0; row < 4; ++row) {
    const bool suspend = row & 1, dry = row & 2;
    SCOPED_TRACE(row);
    audio->PlayMusic(Tune("sweep.ogg"), 0);
    Mix heard = out->Render(dry ? 0.6 : 0.4, 0, !dry);
    size_t played = heard.left.size();
    while (dry && heard.left[played - 1] == 0) --played;
    EXPECT_EQ(audio->MusicState(), 1);
    suspend ? audio->Suspend() : audio->PauseMusic();
    EXPECT_EQ(Rms(out->Render(0.3).left), 0);
    EXPECT_EQ(audio->MusicState(), suspend ? 1 : 2);
    suspend ? audio->Resume() : audio->ResumeMusic();
    Mix rest = out->Frames(int(whole.left.size() - played));
    heard.left.resize(played);
    heard.left.insert(heard.left.end(), rest.left.begin(), rest.left.end());
    EXPECT_EQ(heard.left, whole.left);
    audio->StopMusic();
  }
}

// Stopping between refills, one tune started over another, damaged files: each tune ends quietly,
// and the next starts from its first frame with nothing of an old one left in its queue.
TEST_F(AudioDevice, StoppedReplacedAndDamagedTunesEndQuietly) {
  Mix whole = Whole(0, 0.5);
  audio->PlayMusic(Tune("sweep.ogg"), 0);
  out->Render(0.3, 0, false);
  audio->StopMusic();
  EXPECT_EQ(audio->MusicState() + Rms(out->Render(0.2).left), 0);
  audio->PlayMusic(Tune("a440.wav"), 1);  // loaded whole, on a looping source
  audio->PlayMusic(Tune("sweep.ogg"), 0);
  EXPECT_TRUE(Same(out->Render(0.5), whole));

  using bbtest::Bytes;
  Bytes sweep = bbtest::ReadBytes(bbtest::ScratchFolder() + "sweep.ogg");
  Bytes tune = bbtest::ReadBytes(bbtest::ScratchFolder() + "a440.ogg");
  Bytes seed = bbtest::ReadBytes(ZUDODO_SOURCE_DIR "/fuzz/corpus/ogg/seed-stereo-44k-q10.ogg");
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
    bbtest::WriteScratch("damaged.ogg", file.bytes);
    EXPECT_EQ(audio->PlayMusic(Tune("damaged.ogg"), file.flags), file.result);
    out->Render(2);
    EXPECT_EQ(audio->MusicState(), 0);
  }
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
