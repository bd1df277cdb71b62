// The title menu, options, pause menu, game over, quest box and credits, driven key by key.
#include <cmath>

#include "game_test.h"
#include "runtime/audio/device.h"

namespace gametest {
extern bool gQuitExpected;
}  // namespace gametest

namespace {

using TitleMenu = GameTest;
using OptionsBox = GameTest;
using GameOver = GameTest;
using MenuBoxes = GameTest;

TEST(TitleMenuUnlocking, QuestProgressUnlocksTheEntriesGroupByGroup) {
  const std::pair<std::vector<int>, int> cases[] = {{{}, 1},   {{4}, 4},   {{9}, 5},     {{4, 9}, 5}, {{4020}, 8},
                                                    {{49}, 9}, {{99}, 12}, {{8004}, 12}, {{5, 10}, 1}};
  for (const auto& c : cases) {
    Game g;
    for (int n : c.first) g.app->m_Quest[n] = 10;
    g.Ready();
    for (int i = 0; i < 14; ++i) g.Press(kDown);
    g.Updates(60);
    // Down as far as it goes stops at the last unlocked entry; the next row says how to open more.
    EXPECT_EQ(V(g.app->m_MenuSel, g.app->m_GameType, g.app->m_Mode), V(c.second, c.second, 1));
    EXPECT_EQ(V(Has(g.Text(90), "PlaymoreQuestModetounlock"), Has(g.Text(90), "PathAPathBRandomPath")), V(c.second < 12, 1));
  }
}

TEST_F(TitleMenu, TheBackKeyOnTheEntryListQuitsAfterWritingARunningSave) {
  g.Ready();
  a->m_Scores[0] = 31337;
  a->p_Save();
  EXPECT_EXIT((gQuitExpected = true, g.KeyDown(kEscape), g.Update()), testing::ExitedWithCode(0), "");
  EXPECT_TRUE(Has(StateFile(), "|31337|"));
}

TEST_F(OptionsBox, IgnoresInputWhileItSlidesSetsTheSoundAtOnceAndSavesWhenClosed) {
  a->m_Quest[8004] = 1;
  g.Ready();
  bb_GW_HasMusic = 0;  // the recorded tunes, in the procedural-music build too
  bb_GW_HasMusicStream = 1;
  a->p_PlayTune(String("tune01"), 1);
  g.Update();
  a->m_Paused = 1;  // the tune pauses with the game
  g.Update();
  EXPECT_EQ(V(a->m_TunePlaying, bb_audio_device->MusicState()), V(1, 2));
  a->m_Paused = 0;
  a->m_ShowOptions = 1;
  g.Updates(5);
  g.Press(kDown);
  EXPECT_EQ(V(a->m_OptCursor, bb_audio_device->MusicState()), V(0, 1)) << "nothing acts while the box slides";
  g.Updates(25);
  g.Press({kDown, kDown, kDown});
  EXPECT_EQ(V(a->m_OptionsSlide, a->m_OptCursor, a->m_MenuSel), V(30, 3, 1)) << "the menu beneath ignores the keys";
  g.Press({kUp, kUp});
  EXPECT_TRUE(Has(g.Text(90), "Sound:SFX+Music"));
  g.Press(kEnter);  // SFX only: the music stops at once
  EXPECT_EQ(V(a->m_Settings[5], a->m_TunePlaying, bb_audio_device->MusicState(), Has(g.Text(90), "Sound:SFX")), V(2, 0, 0, 1));
  std::vector<double> settings;
  for (int i = 0; i < 3; ++i) g.Press(kEnter), settings.push_back(a->m_Settings[5]);
  EXPECT_EQ(settings, V(3, 0, 1));
  g.Press({kDown, kEnter, kUp, kUp, kUp});  // touchscreen mode, the second line
  EXPECT_EQ(V(a->m_OptCursor, a->m_Settings[15], a->m_SaveCursor), V(0, 1, -1));
  g.Press(kEnter);
  EXPECT_EQ(V(a->m_ShowOptions, a->m_SaveCursor >= 0), V(0, 1)) << "closing starts a save";
  g.Updates(100);
  EXPECT_EQ(V(a->m_OptionsSlide, a->m_Mode), V(0, 1)) << "the Enter that closed the box starts no game";
  EXPECT_EQ(Fields(StateFile()).at(15), "1");
}

TEST_F(GameOver, ThePauseMenuResumesOrQuitsThenTheCounterRunsAndTheScoreIsRankedAndRecorded) {
  a->m_Quest[4] = 1;
  for (int i = 0; i < 10; ++i) a->m_Scores[10 + i] = 5000 - 500 * i;  // type 2's top ten
  g.Ready();
  g.Press({kDown, kEnter});
  ASSERT_EQ(a->m_Mode, 10);
  a->m_Score = 2345;
  g.Press(kEscape);
  g.Updates(15);
  EXPECT_EQ(V(a->m_Paused, a->m_PauseDir, a->m_PauseY >= 240, a->m_PauseCursor), V(1, 1, 1, 0));
  g.Press(kEscape);  // the back key resumes; play continues once the panel has left
  EXPECT_EQ(a->m_PauseDir, -1);
  g.Updates(20);
  EXPECT_EQ(a->m_Paused, 0);
  g.Press(kEscape);
  g.Updates(15);
  g.Press(kRight);
  int right = a->m_PauseCursor;
  g.Press({kLeft, kLeft});
  EXPECT_EQ(V(right, a->m_PauseCursor), V(1, -1));
  g.Press(kEnter);
  EXPECT_EQ(V(a->m_GameOver, a->m_Paused, a->m_PauseY, a->m_Mode), V(1, 0, -64, 10));
  std::string shown;
  for (int i = 0; i < 120 && a->m_Mode == 10; ++i) {
    g.Update();
    shown = g.Text(90);
  }
  EXPECT_TRUE(Has(shown, "GAMEOVER") && Has(shown, "NewHighscore7th")) << shown;
  g.Update();  // then the score enters its place, the last ten and the state file
  EXPECT_EQ(V(a->m_Mode, a->m_GameOverStep, a->m_Scores[15], a->m_Scores[16], a->m_Scores[17], a->m_Scores[19], a->m_Scores[250]),
            V(1, 71, 2500, 2345, 2000, 1000, 2345));
  EXPECT_GE(a->m_SaveCursor, 0);
  g.Updates(35);
  EXPECT_EQ(a->m_GameOverStep, 1) << "the display fades";
  g.Update();
  const std::string panels = g.Text(90);  // the first row of each list after its title
  EXPECT_TRUE(a->m_GameOverStep == 0 && Has(panels, "Top105000") && Has(panels, "Last102345")) << panels;
}

TEST(QuestBoxes, ItOpensOnTheLastLevelPlayableAndLocksTheRest) {
  struct Case {
    std::vector<int> completed;  // quest entries completed
    int entry;                   // the title menu entry opened
    const char* box;             // its title (arrows to the worlds beside) and rows: 'L' locked, '-' open
    std::vector<double> place;   // top level, world, level and last world of the box
    int key;                     // then a key, and the mode, world and level after it, and text shown
    std::vector<double> after;
    const char* shown;
  };
  const Case cases[] = {{{}, 1, "Quest00 -LLLLLLLLL", V(0, 0, 0, 0), kDown, V(1, 0, 0), "000001002"},  // locked: held
                        {{9}, 1, "<Quest01 -LLLLLLLLL", V(10, 1, 0, 1), kLeft, V(1, 0, 0), "00000321"},  // world 0's
                        {{999}, 1, "<Quest99 ----------", V(999, 99, 9, 99), kEnter, V(10, 99, 9), ""},  // played
                        {{9, 4002}, 5, "Quest00 ----LLLLLL", V(3, 0, 3, 0), kDown, V(1, 0, 3), "Complete"}};  // Pathfinder
  for (const Case& c : cases) {
    Game g;
    for (int level : c.completed) g.app->m_Quest[level] = 321;
    g.Ready();
    for (int i = 1; i < c.entry; ++i) g.Press(kDown);
    g.Press(kEnter);
    EXPECT_EQ(g.app->m_MenuPhase, 1);
    g.Updates(40);  // the menu slides out of the way
    std::string title = g.Text(89), rows;
    size_t at = title.rfind("Quest");
    ASSERT_NE(at, std::string::npos);
    title = title.substr(at - (at > 0 && title[at - 1] == '<'));
    const float* fourth = nullptr;
    for (const float* e : g.EntriesOf(c_MyApp::kRectMarker)) {
      if (e[4] != 320 || e[5] != 64) continue;
      rows += e[10] == 160 && e[12] == 0 ? 'L' : e[12] == 160 ? '-' : '?';
      if (rows.size() == 4) fourth = e;
    }
    EXPECT_EQ(title + " " + rows, c.box);
    if (c.completed.empty() && fourth) {  // a press on a locked level under the cursor (where it
      g.app->m_QuestLevel = 3;            // stands for an update after a change of world) does
      g.MouseDown(fourth[1] + 160, fourth[2] + 32);  // nothing, not even latch the pointer
      g.Update();
      EXPECT_EQ(V(g.app->m_PointerLatch, g.app->m_KeyLatch, g.app->m_Mode), V(0, 0, 1));
      g.MouseUp(), g.app->m_QuestLevel = 0, g.Update();
    }
    EXPECT_EQ(V(g.app->m_QuestTop, g.app->m_QuestWorld, g.app->m_QuestLevel, g.app->m_QuestMaxWorld), c.place);
    g.Press(c.key);
    g.Update();
    EXPECT_EQ(V(g.app->m_Mode, g.app->m_QuestWorld, g.app->m_QuestLevel), c.after) << c.box;
    EXPECT_TRUE(Has(g.Text(89) + g.Text(90), c.shown)) << g.Text(89) << g.Text(90);
  }
}

// The credits open on N and scroll by themselves, faster while a key is held; closed, they open
// again from the studio logo where they were, and a touch, lifted, closes them.
TEST_F(MenuBoxes, TheCreditsScrollCloseAndOpenAgainWhereTheyWere) {
  g.Ready(), g.Press(78), g.Updates(40);
  const float start = 16 * a->m_CreditsLine - a->m_CreditsScroll;
  g.KeyDown(kDown), g.Updates(20), g.KeyUp(kDown);
  EXPECT_EQ(V(a->m_ShowCredits, a->m_CreditsSlide, std::round(16 * a->m_CreditsLine - a->m_CreditsScroll - start)), V(1, 30, 36));
  g.Update(), g.Press(78), g.Updates(40);
  for (int open : {1, 0}) {  // the logo, then anywhere
    const int line = a->m_CreditsLine;
    g.MouseDown(600, 30), g.Update();
    EXPECT_EQ(a->m_OldMouseX, 600) << "a press starts where it lands, not as a drag";
    g.MouseUp(), g.Update(), g.Updates(5);
    EXPECT_EQ(V(a->m_ShowCredits, a->m_CreditsLine >= line), V(open, 1));
  }
}

TEST_F(MenuBoxes, AMinimisedWindowKeepsTheLayoutAndANarrowOneDrawsTheCreditsGridWithValidColours) {
  g.Resize(0, 0), g.Render(), g.MouseMove(50, 60), g.Update();  // minimised: the layout is kept
  ASSERT_EQ(V(bb_GW_jscrw, bb_GW_jscrh, a->m_MouseX, a->m_MouseY), V(640, 480, 50, 60));
  g.Resize(100, 480);
  g.Ready();
  ASSERT_EQ(V(bb_GW_jscrw < 130, a->m_Landscape), V(1, 0)) << "the height sets the scale";
  a->m_ShowCredits = 1;
  for (int i = 0; i < 35; ++i) {
    g.Update();
    for (int k = 0; k < g.Entries(); ++k) {
      const float* e = g.Entry(k);
      for (int c = 10; c <= 12; ++c) ASSERT_TRUE(e[c] >= 0 && e[c] <= 255) << "entry " << k << " colour " << e[c];
      for (int c = 1; c <= 5; ++c) ASSERT_TRUE(std::isfinite(e[c])) << "entry " << k;
    }
  }
}

}  // namespace
