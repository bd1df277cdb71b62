// The sound module as the game uses it: asset names in the data folder, sounds that failed to load,
// tunes, and the delegate's suspend and resume of the device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "audio_support.h"
#include "runtime/audio/sound.h"
#include "runtime/host/app.h"
#include "runtime/object/gc.h"

namespace {

c_Sound* sound_root = nullptr;

class SoundModule : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!BBGlfwGame::_glfwGame) new BBGlfwGame;
    gc_init();
    gc_clear_roots();
    gxtkAudio::discarded.clear();
    out = std::make_unique<LoopbackAudio>();
    bb_audio_SetAudioDevice(out->audio);
    gc_add_root([] { gc_mark_q(bb_audio_device); });
    gc_add_root([] { gc_mark_q(sound_root); });
    // The game's working folder, with its data folder of effects and tunes.
    std::filesystem::create_directories(scratch.Path("data/sfx"));
    ASSERT_TRUE(RunTool("sox -n -r 22050 -b 16 -c 1 " + scratch.Path("data/sfx/001.wav") +
                        " synth 1 sine 440 vol 0.5"));
    ASSERT_TRUE(RunTool("oggenc -Q -o " + scratch.Path("data/sfx/tune01.ogg") + " " +
                        scratch.Path("data/sfx/001.wav")));
    previous = std::filesystem::current_path();
    std::filesystem::current_path(scratch.Dir());
  }
  void TearDown() override {
    std::filesystem::current_path(previous);
    bb_audio_device = nullptr;
    sound_root = nullptr;
    ForgetAllObjects();
  }
  gxtkChannel& Channel(int i) { return bb_audio_device->channels[i]; }

  ScratchDir scratch;
  std::filesystem::path previous;
  std::unique_ptr<LoopbackAudio> out;
};

TEST_F(SoundModule, SoundsLoadFromTheDataFolderAndStayWithTheirOwner) {
  c_Sound* sound = bb_audio_LoadSound(String("sfx/001.wav"));
  ASSERT_TRUE(sound);
  ASSERT_TRUE(sound->m_sample);
  gxtkSample* sample = sound->m_sample;
  ALint bytes = 0;
  alGetBufferi(sample->buffer, AL_SIZE, &bytes);
  EXPECT_EQ(bytes, 22050 * 2);
  EXPECT_FALSE(bb_audio_LoadSound(String("sfx/002.wav")));

  sound_root = sound;
  FullCollection();
  EXPECT_FALSE(Reclaimed(sample));  // the sound keeps its sample
  sound_root = nullptr;
  FullCollection();
  EXPECT_TRUE(Reclaimed(sound));
  EXPECT_TRUE(Reclaimed(sample));
}

TEST_F(SoundModule, SoundsThatFailedToLoadPlayAsSilence) {
  c_Sound* sound = bb_audio_LoadSound(String("sfx/001.wav"));
  bb_audio_PlaySound(sound, 3, 1);
  EXPECT_EQ(Channel(3).sample, sound->m_sample);
  EXPECT_EQ(bb_audio_device->ChannelState(3), 1);
  bb_audio_StopChannel(3);
  EXPECT_EQ(bb_audio_device->ChannelState(3), 0);

  bb_audio_PlaySound(nullptr, 4, 0);
  bb_audio_PlaySound((new c_Sound)->m_new2(), 4, 0);
  EXPECT_EQ(Channel(4).source, 0u);
  EXPECT_EQ(Channel(4).state, 0);
}

TEST_F(SoundModule, TunesPlayFromTheDataFolderOnTheMusicChannel) {
  EXPECT_EQ(bb_audio_PlayMusic(String("sfx/tune01.ogg"), 1), 0);
  EXPECT_EQ(bb_audio_device->MusicState(), 1);
  EXPECT_NEAR(Frequency(out->RenderSeconds(0.25).left, LoopbackAudio::kRate), 440, 1);
  EXPECT_EQ(bb_audio_PlayMusic(String("sfx/tune07.ogg"), 0), -1);
  EXPECT_EQ(bb_audio_device->MusicState(), 0);
}

// An application that notes what the audio device is doing when its hooks run.
struct HookProbe : c_App {
  int p_OnSuspend() override {
    at_suspend = Probe();
    return 0;
  }
  int p_OnResume() override {
    at_resume = Probe();
    return 0;
  }
  static ALint Probe() {
    ALint state = 0;
    alGetSourcei(bb_audio_device->channels[0].source, AL_SOURCE_STATE, &state);
    return state;
  }
  ALint at_suspend = 0, at_resume = 0;
};

TEST_F(SoundModule, TheDelegatePausesTheDeviceAfterTheGameAndResumesItBefore) {
  HookProbe* app = new HookProbe;
  bb_app__app = app;
  c_GameDelegate* delegate = (new c_GameDelegate)->m_new();
  delegate->m__audio = bb_audio_device;
  bb_audio_PlaySound(bb_audio_LoadSound(String("sfx/001.wav")), 0, 1);

  delegate->SuspendGame();
  EXPECT_EQ(app->at_suspend, AL_PLAYING);  // the game saves before the sound stops
  EXPECT_EQ(HookProbe::Probe(), AL_PAUSED);
  delegate->ResumeGame();
  EXPECT_EQ(app->at_resume, AL_PLAYING);  // and finds it playing again
  bb_app__app = nullptr;
}

}  // namespace
