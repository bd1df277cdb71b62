// With no audio output at all the device says so once and every later call is silent.
#include <gtest/gtest.h>

#include <cstdlib>

#include "audio_support.h"

namespace {

// OpenAL Soft reads its driver list once, at its first call: name one that does not exist.
const bool kNoDriver = setenv("ALSOFT_DRIVERS", "zudodo-no-such-driver", 1) == 0;
gxtkAudio* silent_root = nullptr;

TEST(AudioWithoutOutput, TheDeviceReportsItOnceAndTheGameRunsSilently) {
  ASSERT_TRUE(kNoDriver);
  new BBGlfwGame;
  gc_init();
  gc_clear_roots();
  gc_add_root([] { gc_mark_q(silent_root); });
  const String wav = String::FromUtf8(bbtest::Sine("a.wav", 22050, "-b 16 -c 1", "2"));
  const String ogg = String::FromUtf8(bbtest::Ogg(bbtest::ScratchFolder() + "a.wav"));

  testing::internal::CaptureStdout();
  gxtkAudio* audio = silent_root = new gxtkAudio;
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "OpenAl error: alcOpenDevice failed\n");
  EXPECT_EQ(audio->alcDevice, nullptr);

  testing::internal::CaptureStdout();
  gxtkSample* sample = audio->LoadSample(wav);
  ASSERT_TRUE(sample);
  audio->SetVolume(0, 0.5f);
  audio->PlaySample(sample, 0, 1);
  EXPECT_EQ(audio->ChannelState(0), 0);  // nothing can be playing
  EXPECT_EQ(audio->PlayMusic(ogg, 0), 0);
  EXPECT_EQ(audio->MusicState(), 0);
  audio->Suspend();
  sample->Discard();
  bbtest::FullCollection();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
