// The display list, the on-screen pad, effect files and the procedural music.
#include <cmath>
#include <cstdlib>

#include "game/music/demo_song.h"
#include "game_test.h"
#include "runtime/object/gc.h"

namespace {

using DisplayList = GameTest;
using Controls = GameTest;
using Sound = GameTest;

TEST_F(DisplayList, HoldsAtMost2499EntriesAFrame) {
  a->p_DrawImg(c_MyApp::kImages, 0, 0, 0);  // beyond the image slots: not drawn
  for (int i = 0; i < 2600; ++i) a->p_Rect(static_cast<float>(i), 0, 1, 1);
  g.Render();
  EXPECT_EQ(V(g.Entries(), g.Entry(2498)[1], g.graphics->draws), V(2499, 2497, 2499)) << "and the background";
}

// Two full collections keep all the game holds: its arrays, a loaded image and the music player.
TEST_F(DisplayList, TheGamesArraysAndAssetsOutliveFullCollections) {
  g.FinishLoading();
  gc_collect_all(), gc_collect_all();
  const auto held = [](const auto&... arrays) { return (gc_holds(arrays.GetRep()) + ...); };
  EXPECT_EQ(held(a->m_Img, a->m_ImgInfo, a->m_DrawList, a->m_TouchDown, a->m_TouchX, a->m_TouchY, a->m_VKey, a->m_Sfx,
                 a->m_SfxChannel, a->m_Scores, a->m_Quest, a->m_BadgeGot, a->m_BadgeQueue, a->m_BadgeTime, a->m_Settings,
                 a->m_Vars, a->m_Trail, a->m_Parts, a->m_Map, a->m_Objs) + gc_holds(a->m_Img[1]) + gc_holds(a->m_Music), 22);
}

TEST_F(Sound, TheGameDrivesTheProceduralMusicWhenItIsInUse) {
  EXPECT_EQ(bb_GW_HasMusic, BBKxDemoSong::kHasMusic);
  bb_GW_HasMusic = 1;  // the song loads over the next renders, three steps at the start of each
  a->p_MusicCreate();
  EXPECT_EQ(V(a->m_Music->m_state, a->m_Music->m_loadStep), V(c_KxPlayer::kPlaying, 1));
  g.Render();
  EXPECT_EQ(a->m_Music->m_loadStep, 4);
  g.Update();  // the update hook runs too, while the song is still loading
  bb_GW_HasMusicStream = 0;  // the song is the only music: no recorded tune, and game over stops it
  a->p_PlayTune(String("tune01"), 1);
  a->m_Mode = 10, a->m_GameOverStep = 89, a->p_GameOver();
  EXPECT_EQ(V(a->m_TunePlaying, a->m_Music->m_state), V(0, c_KxPlayer::kStopped));
  bb_GW_HasMusic = 0, bb_GW_HasMusicStream = 1;
}

// With the pad off a finger steers from where it landed: nothing within a tenth of the way in
// both axes, and a far finger drags its anchor 4 units a frame; lifted, it lets go.
TEST_F(Controls, ASlidingFingerSteersFromItsAnchor) {
  a->m_Settings[15] = 0, a->m_MouseDown = 1;
  std::vector<double> seen;
  for (const auto& at : {V(100, 100), V(136, 100), V(107, 107), V(300, 107)}) {
    a->m_MouseX = static_cast<float>(at[0]), a->m_MouseY = static_cast<float>(at[1]);
    a->p_AnalogueControl();
    for (double v : V(a->m_SlideX, a->m_MoveX, a->m_MoveY)) seen.push_back(std::round(v * 1000) / 1000);
  }
  a->m_MouseDown = 0, a->p_AnalogueControl();
  EXPECT_EQ(seen, V(100, 0, 0, 100, 0.5, 0, 100, 0, 0, 104, 1, 0.097));  // 7 of the 72 units to full
  EXPECT_EQ(a->m_SlideX, -1);
}

// A held arrow ramps its axis a quarter a frame up to full; released, the axis decays a fifth a frame.
TEST_F(Controls, ArrowKeysRampTheAxesUpAndBackToRest) {
  for (int key : {kRight, kUp}) {
    std::vector<double> seen;
    g.KeyDown(key);
    for (int frame = 0; frame < 10; ++frame) {
      if (frame == 5) g.KeyUp(key);  // still down for the update after its release
      g.Update(), a->p_AnalogueControl();
      seen.push_back(std::lround((a->m_MoveX - a->m_MoveY) * 100));  // in hundredths
    }
    EXPECT_EQ(seen, V(25, 50, 75, 100, 100, 80, 60, 40, 20, 0)) << key;
  }
}

TEST_F(Controls, OnScreenPadPressesLastOneUpdateAndMoveWhilePaused) {
  g.MouseMove(100, 348), g.Update();
  EXPECT_EQ(V(a->m_MouseX, a->m_MouseY), V(100, 348)) << "before the first render, a unit a pixel";
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

TEST_F(Sound, TheLoaderFillsEveryImageAndEffectSlotOfItsTable) {
  g.FinishLoading();
  for (int n : {1, 2, 3, 4, 5, 10, 80, 89, 90, 91, 93, 94, 95, 96, 97, 98, 99}) EXPECT_TRUE(a->m_Img[n]) << n;
  for (int n = 1; n < 100; n = n == 21 ? 95 : n + 1) EXPECT_TRUE(n == 97 || a->m_Sfx[n]) << n;
}

TEST_F(Sound, EffectNumbersArePaddedToThreeDigitsAndBeyondTheSlotsRefused) {
  // The game's working folder gets a data folder of its own holding copies of one effect.
  ASSERT_EQ(0, std::system("rm data && mkdir -p data/sfx && for n in 007 042 123; do cp " ZUDODO_SOURCE_DIR
                           "/data/sfx/001.wav data/sfx/$n.wav; done"));
  for (int n : {7, 42, 43, 123}) a->p_LoadSFX(n);  // 123: beyond the 100 slots, refused
  EXPECT_TRUE(a->m_Sfx[7] && a->m_Sfx[42] && !a->m_Sfx[43]) << "a missing file leaves the slot empty";
  a->p_PlaySFX2(123, 1);
}

}  // namespace
