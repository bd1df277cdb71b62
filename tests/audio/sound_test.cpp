// The sound module as the game uses it: asset names in the data folder, sounds that failed to load,
// tunes, and the delegate's suspend and resume of the device.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "audio_support.h"
#include "runtime/host/app.h"

namespace {

c_Sound* sound_root = nullptr;

class SoundModule : public ::testing::Test {
 protected:
  void SetUp() override {
    // The game's working folder, with a data folder of one effect and one tune.
    std::filesystem::create_directories(bbtest::ScratchFolder() + "game/data/sfx");
    bbtest::Ogg(bbtest::Sine("game/data/sfx/001.wav", 22050, "-b 16 -c 1", "1"));
    previous = std::filesystem::current_path();
    std::filesystem::current_path(bbtest::ScratchFolder() + "game");
    if (!BBGlfwGame::_glfwGame) new BBGlfwGame;
    gc_init();
    gc_clear_roots();
    gc_add_root([] { gc_mark_q(bb_audio_device); });
    gc_add_root([] { gc_mark_q(sound_root); });
    out = std::make_unique<bbtest::Loopback<>>();
  }
  void TearDown() override {
    out.reset();
    std::filesystem::current_path(previous);
  }

  std::filesystem::path previous;
  std::unique_ptr<bbtest::Loopback<>> out;
};

TEST_F(SoundModule, SoundsAndTunesLoadFromTheDataFolderAndThoseThatFailedPlayAsSilence) {
  c_Sound* sound = sound_root = bb_audio_LoadSound(String("sfx/001.wav"));
  ASSERT_TRUE(sound && sound->m_sample);
  EXPECT_FALSE(bb_audio_LoadSound(String("sfx/002.wav")));
  bbtest::FullCollection();
  EXPECT_FALSE(bbtest::Reclaimed(sound->m_sample));  // the sound keeps its sample
  bb_audio_PlaySound(sound, 3, 1);
  EXPECT_EQ(bb_audio_device->ChannelState(3), 1);
  bb_audio_StopChannel(3);
  EXPECT_EQ(bb_audio_device->ChannelState(3), 0);
  bb_audio_PlaySound(nullptr, 4, 0);
  bb_audio_PlaySound((new c_Sound)->m_new2(), 4, 0);
  EXPECT_EQ(bb_audio_device->channels[4].source, 0u);  // nothing reached the channel

  EXPECT_EQ(bb_audio_PlayMusic(String("sfx/001.ogg"), 1), 0);
  EXPECT_NEAR(bbtest::Frequency(out->Render(0.25).left, bbtest::Loopback<>::kRate), 440, 1);
  EXPECT_EQ(bb_audio_PlayMusic(String("sfx/007.ogg"), 0), -1);
  EXPECT_EQ(bb_audio_device->MusicState(), 0);
}

// An application that notes what the first channel's source is doing when its hooks run.
struct HookProbe : c_App {
  int p_OnSuspend() override { return at_suspend = Probe(), 0; }
  int p_OnResume() override { return at_resume = Probe(), 0; }
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
