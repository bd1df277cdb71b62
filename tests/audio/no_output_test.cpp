// With no audio output at all the device says so once and every later call is silent.
#include <gtest/gtest.h>

#include <cstdlib>

#include "audio_support.h"
#include "runtime/host/game.h"
#include "runtime/object/gc.h"

namespace {

// OpenAL Soft reads its driver list once, at its first call: name one that does not exist.
const bool kNoDriver = setenv("ALSOFT_DRIVERS", "zudodo-no-such-driver", 1) == 0;
gxtkAudio* silent_root = nullptr;

TEST(AudioWithoutOutput, TheDeviceReportsItOnceAndTheGameRunsSilently) {
  ASSERT_TRUE(kNoDriver);
  if (!BBGlfwGame::_glfwGame) new BBGlfwGame;
  gc_init();
  gc_clear_roots();
  gc_add_root([] { gc_mark_q(silent_root); });
  ScratchDir scratch;
  ASSERT_TRUE(RunTool("sox -n -r 22050 -b 16 -c 1 " + scratch.Path("a.wav") + " synth 2 sine 440"));
  ASSERT_TRUE(RunTool("oggenc -Q -o " + scratch.Path("a.ogg") + " " + scratch.Path("a.wav")));

  testing::internal::CaptureStdout();
  gxtkAudio* audio = new gxtkAudio;
  silent_root = audio;
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "OpenAl error: alcOpenDevice failed\n");
  EXPECT_EQ(audio->alcDevice, nullptr);

  testing::internal::CaptureStdout();
  gxtkSample* sample = audio->LoadSample(String::FromUtf8(scratch.Path("a.wav")));
  ASSERT_TRUE(sample);
  audio->SetVolume(0, 0.5f);
  audio->SetPan(0, 1);
  audio->SetRate(0, 2);
  audio->PlaySample(sample, 0, 1);
  EXPECT_EQ(audio->ChannelState(0), 0);  // nothing can be playing
  EXPECT_EQ(audio->PlayMusic(String::FromUtf8(scratch.Path("a.ogg")), 0), 0);
  EXPECT_EQ(audio->MusicState(), 0);
  audio->Suspend();
  audio->Resume();
  audio->PauseMusic();
  sample->Discard();
  FullCollection();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  silent_root = nullptr;
  ForgetAllObjects();
}

}  // namespace
