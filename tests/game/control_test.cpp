// Game actions from keys, joysticks and virtual keys; the control axes; hit tests; the pointer
// and touch fields; iCade decoding and the on-screen pad; effects.
#include <cstdlib>

#include "game_test.h"
#include "runtime/audio/device.h"

namespace {

using Controls = GameTest;
using Sound = GameTest;

TEST_F(Controls, KeysJoysticksAndVirtualKeysReportActions) {
  g.KeyDown(38);
  EXPECT_EQ(V(a->p_PlayKey(0, 0, -1), a->p_PlayKey(0, 0, -2)), V(1, 0)) << "ports below -1 report nothing";
  g.KeyUp(38);
  bb_input_device->m__keyDown[256 + 32 + 9] = true;  // joystick button 9 of port 1: up, when that port is asked
  EXPECT_EQ(V(a->p_PlayKey(0, 0, -1), a->p_PlayKey(0, 0, 0), a->p_PlayKey(0, 0, 1), a->p_PlayKeyAll(0, 0)), V(0, 0, 1, 1));
  bb_input_device->m__keyDown[256 + 32 + 9] = false;
  // The back action takes Escape, Delete, Backspace, tilde and virtual keys 16, 17 and 19.
  for (int key : {27, 46, 8, 192}) {
    g.KeyDown(key);
    EXPECT_EQ(a->p_PlayKey(99, 0, -1), 1) << key;
    g.KeyUp(key);
  }
  a->m_VKey[19] = 1;
  a->m_VKey[10] = 2;
  EXPECT_EQ(V(a->p_PlayKey(99, 0, -1), a->p_PlayKey(10, 0, -1), a->p_PlayKey(7, 0, 0)), V(1, 1, 0)) << "7: no such action";
  bb_input_device->m__joyStates[0]->m_joyx[0] = 0.5f;  // the first stick, when allowed: right beyond 0.4
  EXPECT_EQ(V(a->p_PlayKey(5, 0, 0), a->p_PlayKey(5, 1, 0), a->p_PlayKey(5, 1, -1)), V(0, 1, 0));
}

TEST_F(Controls, ICadeTakesTheLetterKeys) {
  g.KeyDown('W');
  EXPECT_EQ(a->p_PlayKey(0, 0, -1), 1);
  a->p_iCade(1);
  EXPECT_EQ(V(bb_GW_iCadeControls, a->p_PlayKey(0, 0, -1)), V(1, 0)) << "with iCade on, W is the controller's";
  // The press letter holds the virtual key, a letter outside the table changes nothing, the
  // release letter lets go.
  std::string held;
  for (char c : {'w', 'b', 'E'}) {
    g.Char(c);
    g.Update();
    held += std::to_string(a->m_VKey[0]);
  }
  EXPECT_EQ(held, "220");
  a->m_VKey[5] = 2;
  a->p_iCade(0);
  EXPECT_EQ(V(a->m_VKey[5], bb_GW_iCadeControls), V(0, 0));
}

TEST_F(Controls, ASlidingFingerSteersFromItsAnchor) {
  a->m_Settings[15] = 0;
  a->m_MouseDown = 1;
  // A finger at (x, y), and the anchor's x and the x axis that follow: 0.5 at 36 units, a dead
  // zone below 0.1 in both axes, and a far finger drags the anchor 4 units a frame.
  const float steps[][4] = {{100, 100, 100, 0}, {136, 100, 100, 0.5f}, {107, 107, 100, 0}, {300, 107, 104, 1}};
  for (const auto& s : steps) {
    a->m_MouseX = s[0];
    a->m_MouseY = s[1];
    a->p_AnalogueControl();
    EXPECT_EQ(V(a->m_SlideX, a->m_MoveX), V(s[2], s[3])) << s[0] << "," << s[1];
  }
  a->m_MouseDown = 0;
  a->p_AnalogueControl();
  EXPECT_EQ(a->m_SlideX, -1);
}

TEST_F(Controls, TouchesHaveMarginsAndButtonsFireWhileHeld) {
  a->m_TouchDown[0] = 1;
  a->m_TouchY[0] = 50;
  // A touch 11 units beyond the right edge still counts, only 6 beyond the left; the pointer is
  // in a box strictly inside.
  std::string hits;
  for (float x : {111.0f, -5.0f, -7.0f, 50.0f}) {
    a->m_TouchX[0] = x;
    hits += std::to_string(a->p_Touch(0, 0, 100, 100));
  }
  EXPECT_EQ(hits + std::to_string(a->p_MouseIn(0, 0, 100, 100)) + std::to_string(a->p_MouseIn(50, 0, 100, 100)), "110110");
  g.FinishLoading();
  a->m_TouchX[0] = a->m_TouchY[0] = 110;  // on an icon of 32 x 32 virtual units at (100, 100)
  EXPECT_EQ(a->p_Button(97, 100, 100, 0), 0) << "the pointer is up";
  a->m_MouseDown = 1;
  EXPECT_EQ(a->p_Button(97, 100, 100, 0), 1);
  EXPECT_EQ(V(a->p_Button(97, 100, 100, 0), a->m_Hit), V(1, 1)) << "and on every frame while held";
  EXPECT_EQ(a->p_Button_B(97, 100, 100, 0), 0) << "the half-height box ends 8 units below";
}

TEST_F(Controls, PointerPressesNeverShowAsDragsAndTouchesFoldIntoThePointer) {
  g.Render();  // the scale: 1 pixel per design unit at 640 x 480
  g.MouseMove(10, 10);
  g.Update();
  g.MouseDown(200, 100);
  g.Update();
  EXPECT_EQ(V(a->m_MouseX, a->m_OldMouseX, a->m_MouseHit, a->m_TouchDown[0]), V(200, 200, 1, 1)) << "not a drag from 10";
  g.MouseUp();
  g.Update();
  for (int i = 0; i < 10; ++i) EXPECT_EQ(V(a->m_TouchX[i], a->m_TouchY[i]), V(kOmitted, kOmitted)) << i;
  EXPECT_EQ(V(a->m_MouseDown, a->m_PointerLatch), V(0, 0));
  bb_app__delegate->TouchEvent(c_BBGameEvent::TouchDown, 3, 50, 60);
  g.Update();
  EXPECT_EQ(V(a->m_MouseDown, a->m_TouchX[3]), V(1, 50)) << "a finger at index 3 alone is a pointer press";
}

TEST_F(Controls, OnScreenPadPressesLastOneUpdateAndMoveWhilePaused) {
  g.FinishLoading();
  g.Render();
  bb_GW_OnScreenControls = 1;
  a->m_Mode = 6;  // any mode above 5 shows the pad; 6 runs no screen that could take the press
  a->m_Settings[15] = 1;
  a->m_Settings[10] = a->m_Settings[11] = 100;
  a->m_Settings[12] = 10;
  g.MouseDown(100, 348);  // the up arrow, 32 units above the pad centre (100, 380)
  std::string up;         // pressed again while held, released after one update
  for (int i = 0; i < 3; ++i) {
    if (i == 2) g.MouseUp();
    g.Update();
    up += std::to_string(a->m_VKey[0]);
  }
  EXPECT_EQ(up, "110");
  a->m_Paused = 1;  // the arrows do nothing, and one finger drags the pad
  g.MouseDown(100, 348);
  g.Update();
  EXPECT_EQ(V(a->m_VKey[0], a->m_Settings[10], a->m_Settings[11]), V(0, 100, 480 - 348));
  a->m_Settings[12] = 99;
  g.Update();
  EXPECT_EQ(a->m_Settings[12], 25) << "the size is clamped";
  bb_GW_OnScreenControls = 0;
}

TEST_F(Sound, EffectsRotateOverTwentyFourChannelsWhenTheSettingAllowsAndNumbersArePadded) {
  g.FinishLoading();
  a->m_SfxSlot = 0;
  for (int i = 0; i < 23; ++i) a->p_PlaySFX2(99, 1);
  EXPECT_EQ(V(a->m_SfxChannel[1], a->m_SfxSlot), V(1, 23)) << "the first effect plays on channel 1";
  a->p_PlaySFX(98, 1.2f, 0.5f, 0);
  EXPECT_EQ(a->m_SfxSlot, 0) << "the 24th on channel 0";
  for (int setting : {1, 3, 0}) {  // effects on, then music only, and off
    a->m_Settings[5] = setting;
    a->p_PlaySFX2(99, 1);
    EXPECT_EQ(a->m_SfxSlot, 1) << setting;
  }
  // The game's working folder gets a data folder of its own holding copies of one effect.
  ASSERT_EQ(std::system("rm data && mkdir -p data/sfx && for n in 007 042 123; do "
                        "cp " ZUDODO_SOURCE_DIR "/data/sfx/001.wav data/sfx/$n.wav; done"),
            0);
  for (int n : {7, 42, 43, 123}) a->p_LoadSFX(n);  // 123: beyond the 100 slots, refused
  EXPECT_TRUE(a->m_Sfx[7] && a->m_Sfx[42] && !a->m_Sfx[43]) << "a missing file leaves the slot empty";
  a->p_PlaySFX2(123, 1);
}

}  // namespace
