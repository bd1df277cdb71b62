// Game actions from keys, joysticks and virtual keys; the control axes; hit tests; the pointer
// and touch fields; iCade decoding and the on-screen pad.
#include <gtest/gtest.h>

#include <cstdlib>

#include "harness.h"

namespace {

using gametest::Game;

TEST(Controls, KeysJoysticksAndVirtualKeysReportActions) {
  Game g;
  c_MyApp* a = g.app;
  EXPECT_EQ(a->p_PlayKey(0, 0, -1), 0);
  g.KeyDown(38);
  EXPECT_EQ(a->p_PlayKey(0, 0, -1), 1);
  EXPECT_EQ(a->p_PlayKey(0, 0, -2), 0) << "ports below -1 report nothing";
  g.KeyUp(38);
  g.Update();  // a key is down for the update that sees its press
  // Joystick button 9 of port 1 is up, but only when that port is asked.
  bb_input_device->m__keyDown[256 + 32 + 9] = true;
  EXPECT_EQ(a->p_PlayKey(0, 0, -1), 0);
  EXPECT_EQ(a->p_PlayKey(0, 0, 0), 0);
  EXPECT_EQ(a->p_PlayKey(0, 0, 1), 1);
  EXPECT_EQ(a->p_PlayKeyAll(0, 0), 1);
  bb_input_device->m__keyDown[256 + 32 + 9] = false;
  // The back action takes Escape, Delete, Backspace, tilde and virtual keys 16, 17 and 19.
  for (int key : {27, 46, 8, 192}) {
    g.KeyDown(key);
    EXPECT_EQ(a->p_PlayKey(99, 0, -1), 1) << key;
    g.KeyUp(key);
  }
  a->m_VKey[19] = 1;
  EXPECT_EQ(a->p_PlayKey(99, 0, -1), 1);
  a->m_VKey[19] = 0;
  a->m_VKey[10] = 2;
  EXPECT_EQ(a->p_PlayKey(10, 0, -1), 1);
  EXPECT_EQ(a->p_PlayKey(7, 0, 0), 0) << "actions outside the table report nothing";
  // The first stick, when allowed: right beyond 0.4.
  bb_input_device->m__joyStates[0]->m_joyx[0] = 0.5f;
  EXPECT_EQ(a->p_PlayKey(5, 0, 0), 0);
  EXPECT_EQ(a->p_PlayKey(5, 1, 0), 1);
  EXPECT_EQ(a->p_PlayKey(5, 1, -1), 0);
}

TEST(Controls, ICadeTakesTheLetterKeys) {
  Game g;
  c_MyApp* a = g.app;
  g.KeyDown('W');
  EXPECT_EQ(a->p_PlayKey(0, 0, -1), 1);
  a->p_iCade(1);
  EXPECT_EQ(bb_GW_iCadeControls, 1);
  EXPECT_EQ(a->p_PlayKey(0, 0, -1), 0) << "with iCade on, W is the controller's";
  g.Char('w');
  g.Update();
  EXPECT_EQ(a->m_VKey[0], 2) << "the press letter holds the virtual key";
  EXPECT_EQ(a->p_PlayKey(0, 0, -1), 1);
  g.Char('b');
  g.Update();
  EXPECT_EQ(a->m_VKey[0], 2) << "letters outside the table change nothing";
  g.Char('E');
  g.Update();
  EXPECT_EQ(a->m_VKey[0], 0);
  a->m_VKey[5] = 2;
  a->p_iCade(0);
  EXPECT_EQ(a->m_VKey[5], 0);
  EXPECT_EQ(bb_GW_iCadeControls, 0);
}

TEST(Controls, KeysRampTheAxesAndOppositeKeysCancel) {
  Game g;
  c_MyApp* a = g.app;
  g.KeyDown(39);
  a->p_AnalogueControl();
  EXPECT_FLOAT_EQ(a->m_MoveX, 0.25f);
  a->p_AnalogueControl();
  EXPECT_FLOAT_EQ(a->m_MoveX, 0.5f) << "two frames to reach the steering threshold";
  for (int i = 0; i < 10; ++i) a->p_AnalogueControl();
  EXPECT_FLOAT_EQ(a->m_MoveX, 1.0f);
  EXPECT_FLOAT_EQ(a->m_KeyRampX, 1.0f);
  g.KeyUp(39);
  g.Update();
  a->p_AnalogueControl();
  EXPECT_FLOAT_EQ(a->m_MoveX, 0.8f) << "a released key decays by 0.2";
  g.KeyDown(38);
  g.KeyDown(40);
  a->p_AnalogueControl();
  EXPECT_FLOAT_EQ(a->m_MoveY, 0.0f) << "up and down together cancel";
  EXPECT_FLOAT_EQ(a->m_KeyRampY, 0.0f);
}

TEST(Controls, SlidingFingerSteersFromItsAnchor) {
  Game g;
  c_MyApp* a = g.app;
  a->m_Settings[15] = 0;
  a->m_MouseDown = 1;
  a->m_MouseX = 100;
  a->m_MouseY = 100;
  a->p_AnalogueControl();
  EXPECT_EQ(a->m_SlideX, 100);
  EXPECT_FLOAT_EQ(a->m_MoveX, 0);
  a->m_MouseX = 136;
  a->p_AnalogueControl();
  EXPECT_FLOAT_EQ(a->m_MoveX, 0.5f);
  a->m_MouseX = 107;
  a->m_MouseY = 107;
  a->p_AnalogueControl();
  EXPECT_FLOAT_EQ(a->m_MoveX, 0) << "the dead zone below 0.1 in both axes";
  EXPECT_FLOAT_EQ(a->m_MoveY, 0);
  a->m_MouseX = 300;
  a->p_AnalogueControl();
  EXPECT_EQ(a->m_SlideX, 104) << "a far finger drags the anchor 4 units a frame";
  a->m_MouseDown = 0;
  a->p_AnalogueControl();
  EXPECT_EQ(a->m_SlideX, -1);
}

TEST(HitTests, BoxesButtonsAndTheirMargins) {
  Game g;
  c_MyApp* a = g.app;
  a->m_TouchDown[0] = 1;
  a->m_TouchX[0] = 111;
  a->m_TouchY[0] = 50;
  EXPECT_EQ(a->p_Touch(0, 0, 100, 100), 1) << "11 units beyond the right edge still counts";
  a->m_TouchX[0] = -5;
  EXPECT_EQ(a->p_Touch(0, 0, 100, 100), 1);
  a->m_TouchX[0] = -7;
  EXPECT_EQ(a->p_Touch(0, 0, 100, 100), 0) << "but only 6 beyond the left";
  a->m_TouchX[0] = 50;
  EXPECT_EQ(a->p_MouseIn(0, 0, 100, 100), 1);
  EXPECT_EQ(a->p_MouseIn(50, 0, 100, 100), 0) << "strictly inside";
  EXPECT_EQ(a->p_MouseIn_Centered(50, 50, 10, 10), 1);
  // An icon of 32 x 32 virtual units at (100, 100): the pointer must be down.
  g.FinishLoading();
  a->m_TouchX[0] = 110;
  a->m_TouchY[0] = 110;
  a->m_MouseDown = 0;
  EXPECT_EQ(a->p_Button(97, 100, 100, 0), 0);
  a->m_MouseDown = 1;
  EXPECT_EQ(a->p_Button(97, 100, 100, 0), 1);
  EXPECT_EQ(a->p_Button(97, 100, 100, 0), 1) << "fires on every frame while held";
  EXPECT_EQ(a->m_Hit, 1);
  EXPECT_EQ(a->p_Button_B(97, 100, 100, 0), 0) << "the half-height box ends 8 units below";
  a->m_TouchY[0] = 105;
  EXPECT_EQ(a->p_Button_B(97, 100, 100, 0), 1);
}

TEST(Pointer, PressesNeverShowAsDragsAndTouchesFoldIntoThePointer) {
  Game g;
  c_MyApp* a = g.app;
  g.Render();  // the scale: 1 pixel per design unit at 640 x 480
  g.MouseMove(10, 10);
  g.Update();
  g.MouseDown(200, 100);
  g.Update();
  EXPECT_EQ(a->m_MouseX, 200);
  EXPECT_EQ(a->m_OldMouseX, 200) << "the press position, not the previous one";
  EXPECT_EQ(a->m_MouseHit, 1);
  EXPECT_EQ(a->m_TouchDown[0], 1);
  g.MouseUp();
  g.Update();
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(a->m_TouchX[i], kOmitted);
    EXPECT_EQ(a->m_TouchY[i], kOmitted);
  }
  EXPECT_EQ(a->m_MouseDown, 0);
  EXPECT_EQ(a->m_PointerLatch, 0);
  bb_app__delegate->TouchEvent(c_BBGameEvent::TouchDown, 3, 50, 60);
  g.Update();
  EXPECT_EQ(a->m_MouseDown, 1) << "a finger at index 3 alone is a pointer press";
  EXPECT_EQ(a->m_TouchX[3], 50);
}

TEST(Pointer, OnScreenPadPressesLastOneUpdateAndMoveWhilePaused) {
  Game g;
  c_MyApp* a = g.app;
  g.FinishLoading();
  g.Render();
  bb_GW_OnScreenControls = 1;
  a->m_Mode = 6;  // any mode above 5 shows the pad; 6 runs no screen that could take the press
  a->m_Settings[15] = 1;
  a->m_Settings[10] = 100;
  a->m_Settings[11] = 100;
  a->m_Settings[12] = 10;
  // The up arrow sits 32 units above the pad centre (100, 380).
  g.MouseDown(100, 348);
  g.Update();
  EXPECT_EQ(a->m_VKey[0], 1);
  g.Update();
  EXPECT_EQ(a->m_VKey[0], 1) << "pressed again while held";
  g.MouseUp();
  g.Update();
  EXPECT_EQ(a->m_VKey[0], 0) << "released after one update";
  a->m_Paused = 1;
  g.MouseDown(100, 348);
  g.Update();
  EXPECT_EQ(a->m_VKey[0], 0) << "paused: the arrows do nothing";
  EXPECT_EQ(a->m_Settings[10], 100);
  EXPECT_EQ(a->m_Settings[11], 480 - 348) << "and one finger drags the pad";
  a->m_Settings[12] = 99;
  g.Update();
  EXPECT_EQ(a->m_Settings[12], 25) << "the size is clamped";
  bb_GW_OnScreenControls = 0;
}

TEST(Sound, EffectsRotateOverTwentyFourChannelsWhenTheSettingAllows) {
  Game g;
  c_MyApp* a = g.app;
  g.FinishLoading();
  a->m_SfxSlot = 0;
  a->p_PlaySFX2(99, 1);
  EXPECT_EQ(a->m_SfxChannel[a->m_SfxSlot], 1) << "the first effect plays on channel 1";
  for (int i = 0; i < 22; ++i) a->p_PlaySFX2(99, 1);
  a->p_PlaySFX(98, 1.2f, 0.5f, 0);
  EXPECT_EQ(a->m_SfxSlot, 0) << "the 24th on channel 0";
  a->p_PlaySFX2(99, 1);
  EXPECT_EQ(a->m_SfxSlot, 1);
  a->m_Settings[5] = 3;  // music only
  a->p_PlaySFX2(99, 1);
  EXPECT_EQ(a->m_SfxSlot, 1) << "effects are off";
  a->m_Settings[5] = 0;
  a->p_PlaySFX2(99, 1);
  EXPECT_EQ(a->m_SfxSlot, 1);
}

TEST(Sound, EffectNumbersArePaddedToThreeDigits) {
  Game g;
  // The game's working folder gets a data folder of its own holding copies of one effect.
  ASSERT_EQ(std::system("rm data && mkdir -p data/sfx && for n in 007 042 123; do "
                        "cp " ZUDODO_SOURCE_DIR "/data/sfx/001.wav data/sfx/$n.wav; done"),
            0);
  for (int n : {7, 42}) {
    g.app->p_LoadSFX(n);
    EXPECT_NE(g.app->m_Sfx[n], nullptr) << n;
  }
  g.app->p_LoadSFX(43);
  EXPECT_EQ(g.app->m_Sfx[43], nullptr) << "a missing file leaves the slot empty";
  g.app->p_LoadSFX(123);  // beyond the 100 slots: refused rather than written out of bounds
  g.app->p_PlaySFX2(123, 1);
}

TEST(Sound, TunesFollowTheSettingAndThePause) {
  Game g;
  c_MyApp* a = g.app;
  bb_GW_HasMusic = 0;  // the recorded tunes, in the procedural-music build too
  bb_GW_HasMusicStream = 1;
  a->m_Settings[5] = 2;  // effects only
  a->p_PlayTune(String("tune04"), 0);
  EXPECT_EQ(a->m_TunePlaying, 0);
  a->m_Settings[5] = 3;
  a->p_PlayTune(String("tune04"), 0);
  EXPECT_EQ(a->m_TunePlaying, 1);
  EXPECT_EQ(bb_audio_device->MusicState(), 1);
  a->m_Paused = 1;
  g.Update();
  EXPECT_EQ(bb_audio_device->MusicState(), 2) << "paused with the game";
  a->m_Paused = 0;
  g.Update();
  EXPECT_EQ(bb_audio_device->MusicState(), 1);
  a->m_Settings[5] = 2;
  a->p_PlayTune(String("tune05"), 0);
  EXPECT_EQ(a->m_TunePlaying, 0) << "a setting without music only stops the tune";
  EXPECT_EQ(bb_audio_device->MusicState(), 0);
  a->m_Settings[5] = 1;
  a->p_PlayTune(String("no-such-tune"), 0);
  EXPECT_EQ(a->m_TunePlaying, 1) << "a missing tune still counts as playing";
}

// The procedural player in their place: no recorded tune plays over it, and game over stops it.
TEST(Sound, TheProceduralPlayerIsTheOnlyMusicAndStopsAtGameOver) {
  Game g;
  c_MyApp* a = g.app;
  bb_GW_HasMusic = 1;
  bb_GW_HasMusicStream = 0;
  a->m_Settings[5] = 1;
  a->p_PlayTune(String("tune04"), 0);
  EXPECT_EQ(bb_audio_device->MusicState() + a->m_TunePlaying, 0);
  a->m_Music->m_state = c_KxPlayer::kPlaying;
  a->m_Mode = 10;
  a->m_GameOverStep = 89;
  a->p_GameOver();
  EXPECT_EQ(a->m_Music->m_state, c_KxPlayer::kStopped);
}

}  // namespace
