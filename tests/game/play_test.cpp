// The gameplay rules, frame by frame with scripted control axes on hand-drawn arenas and on
// generated levels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "harness.h"
#include "level_support.h"
#include "menu_steps.h"
#include "runtime/audio/device.h"

namespace {

using gametest::Arena;
using gametest::AtRest;
using gametest::Game;
using gametest::PlayerX;
using gametest::PlayerY;
using gametest::Steer;

// Whether the effect last played is sounding (only the effects a test loads can sound).
bool LastEffectSounds(c_MyApp* app) {
  return bb_audio_device->ChannelState(app->m_SfxChannel[app->m_SfxSlot]) == 1;
}

int LiveParticles(c_MyApp* app, int kind, int colour) {
  int n = 0;
  for (int s = 0; s <= app->m_PartCount; ++s) {
    const float* p = app->m_Parts.Data() + s * 10;
    n += p[0] == kind && p[8] == colour;
  }
  return n;
}

TEST(PlayRules, APillIsEatenOnceTheOffsetFallsBelowThreeTenthsAndIsWorthTheFriendsPlusOne) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, {"######",
            "#So.o#",
            "#....#",
            "######"});
  bool eaten = false;
  for (int frame = 0; frame < 20 && !eaten; ++frame) {
    float offset = std::fabs(app->m_Vars[3]);
    int cell = PlayerX(g);
    Steer(g, 1, 0);
    eaten = app->Cell(2, 1, c_MyApp::kCellPill) == 0;
    bool standing = cell == 2 && offset < 0.3f;
    EXPECT_EQ(eaten, standing) << "frame " << frame << ", offset " << offset;
  }
  ASSERT_TRUE(eaten);
  EXPECT_EQ(app->m_Score, 1);
  EXPECT_EQ(app->m_Settings[1], 1) << "the pill counter";
  EXPECT_EQ(LiveParticles(app, 2, 3), 5) << "five yellow sparks fall from the pill";
  EXPECT_EQ(app->m_Vars[25], 1);

  // With three friends following, the next pill is worth four.
  app->m_Vars[79] = 3;
  for (int frame = 0; frame < 40 && app->Cell(4, 1, c_MyApp::kCellPill) != 0; ++frame) Steer(g, 1, 0);
  EXPECT_EQ(app->m_Score, 1 + 4);
  EXPECT_EQ(app->m_Vars[25], 0) << "the pill sounds alternate";
  EXPECT_EQ(app->m_Outcome, 0);
}

TEST(PlayRules, AFriendJoinsWithItsSoundAndFollowsAlongTheTrail) {
  Game g;
  c_MyApp* app = g.app;
  app->p_LoadSFX(15);
  Arena(g, {"##########",
            "#S.F.....#",
            "#........#",
            "##########"});
  int frame = 0;
  for (; frame < 60 && app->m_Vars[79] == 0; ++frame) Steer(g, 1, 0);
  ASSERT_EQ(app->m_Vars[79], 1);
  EXPECT_EQ(PlayerX(g), 3);
  EXPECT_LT(std::fabs(app->m_Vars[3]), 16 / 47.5f) << "collected within 16 units";
  EXPECT_EQ(app->m_Vars[82], 0) << "no longer waiting";
  EXPECT_NEAR(app->m_Vars[60], 3, 0.2f) << "the follower starts from the friend's cell";
  EXPECT_EQ(app->m_Vars[61], 1);
  EXPECT_TRUE(LastEffectSounds(app)) << "sound 15, the first friend's";
  // The follower walks 8 history entries behind the player: a little less than a cell.
  for (int i = 0; i < 35; ++i) Steer(g, 1, 0);
  for (int i = 0; i < 80; ++i) Steer(g, 0, 0);
  EXPECT_EQ(app->m_Outcome, 0);
  ASSERT_TRUE(AtRest(g));
  float behind = app->m_Vars[1] - app->m_Vars[60];
  EXPECT_GT(behind, 0.8f);
  EXPECT_LT(behind, 1.0f);
  EXPECT_NEAR(app->m_Vars[61], 1, 0.01f);
}

TEST(PlayRules, HolesKillOnlyWhereTheyCanBeEntered) {
  for (int world : {1, 8}) {
    Game g;
    c_MyApp* app = g.app;
    Arena(g, {"#####",
              "#Sx.#",
              "#.###",
              "#####"}, world);
    int frames = 0;
    for (; frames < 30 && app->m_Outcome == 0; ++frames) Steer(g, 1, 0);
    if (world == 8) {
      EXPECT_LT(app->m_Outcome, 0) << "world 8 lets the player onto the hole, and he dies there";
      EXPECT_EQ(PlayerX(g), 2);
      EXPECT_LT(std::fabs(app->m_Vars[3]), 0.3f);
    } else {
      EXPECT_EQ(app->m_Outcome, 0);
      EXPECT_EQ(PlayerX(g), 1) << "a hole blocks the way";
    }
  }
}

TEST(PlayRules, RaisedSpikesKillAndLoweredOnesDoNot) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, {"######",
            "#S^..#",
            "#....#",
            "######"});
  // Wait for the spikes to go down, step onto them and stand there.
  int guard = 0;
  while (app->Cell(2, 1, c_MyApp::kCellSpikeUp) == 0 && guard++ < 200) Steer(g, 0, 0);
  while (app->Cell(2, 1, c_MyApp::kCellSpikeUp) == 1 && guard++ < 400) Steer(g, 0, 0);
  Steer(g, 1, 0);
  bool sawDown = false;
  int frames = 0;
  for (; frames < 200 && app->m_Outcome == 0; ++frames) {
    bool up = app->Cell(2, 1, c_MyApp::kCellSpikeUp) == 1;
    bool standing = PlayerX(g) == 2 && std::fabs(app->m_Vars[3]) < 0.3f;
    if (standing && !up) sawDown = true;
    if (standing) {
      EXPECT_FALSE(up) << "alive on raised spikes at frame " << frames;
    }
    Steer(g, 0, 0);
  }
  EXPECT_TRUE(sawDown) << "standing on lowered spikes is safe";
  EXPECT_LT(app->m_Outcome, 0);
  EXPECT_EQ(app->Cell(2, 1, c_MyApp::kCellSpikeUp), 1);
}

TEST(PlayRules, BeingBoxedInKillsOnArrival) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, {"#####",
            "#S.##",
            "#####"});
  Steer(g, 0, 0);
  EXPECT_EQ(app->m_Outcome, 0) << "the start has a way out";
  for (int frame = 0; frame < 20 && app->m_Outcome == 0; ++frame) {
    bool arrived = PlayerX(g) == 2 && std::fabs(app->m_Vars[3]) < 0.3f;
    Steer(g, 1, 0);
    EXPECT_EQ(app->m_Outcome < 0, arrived) << "frame " << frame;
  }
  EXPECT_LT(app->m_Outcome, 0) << "the cell left behind crumbles; the others are walls";
  EXPECT_EQ(PlayerX(g), 2);
  EXPECT_GT(app->Cell(1, 1, c_MyApp::kCellCrumble), 0);
}

// Walks right along row 1 until the player has passed the home (x = 8) or something ends play;
// true when he reached home.
bool WalkPastHome(Game& g) {
  for (int frame = 0; frame < 120 && g.app->m_Outcome == 0 && PlayerX(g) < 9; ++frame) Steer(g, 1, 0);
  EXPECT_GE(g.app->m_Outcome, 0);
  return g.app->m_Outcome > 0;
}

TEST(PlayRules, TheHomeOpensOnlyToFourFriendsAndInPathfinderOnlyOnceThePillsAreGone) {
  {
    Game g;
    g.app->p_LoadSFX(2);
    Arena(g, {"###########",
              "#SFFFF..H.#",
              "#.........#",
              "###########"});
    EXPECT_TRUE(WalkPastHome(g));
    EXPECT_EQ(PlayerX(g), 8);
    EXPECT_TRUE(LastEffectSounds(g.app)) << "sound 2 greets the player home";
  }
  {
    Game g;
    Arena(g, {"###########",
              "#SFFF...H.#",
              "#.........#",
              "###########"});
    EXPECT_FALSE(WalkPastHome(g)) << "three friends are not enough";
    EXPECT_EQ(PlayerX(g), 9);
  }
  for (bool pillLeft : {true, false}) {
    Game g;
    Arena(g, {"###########",
              "#SFFFF..H.#",
              pillLeft ? "#........o#" : "#.........#",
              "###########"});
    g.app->m_LevelKind = 2;
    EXPECT_EQ(WalkPastHome(g), !pillLeft);
  }
}

TEST(PlayRules, APathfinderHomeAtTheEndOfItsTrailTakesThePlayerInWithItsLastPill) {
  // The home is a dead end with a pill of its own: eating it empties the level in the very frame
  // that would box the player in.
  Game g;
  c_MyApp* app = g.app;
  Arena(g, {"#########",
            "#SFFFFooH#",
            "#########"});
  app->m_LevelKind = 2;
  app->Cell(8, 1, c_MyApp::kCellPill) = 1;
  for (int frame = 0; frame < 120 && app->m_Outcome == 0; ++frame) Steer(g, 1, 0);
  EXPECT_GT(app->m_Outcome, 0);
  EXPECT_EQ(PlayerX(g), 8);
  EXPECT_EQ(app->m_Vars[24], 0);
}

TEST(PlayRules, AHomeBelowAPatrollerStillLeadsToTheNextLevel) {
  // The patroller, boxed in, never moves; the player rises out of his home into it.
  Game g;
  Arena(g, {"#########", "#######P#", "#SFFFF.H#", "#########"});
  for (int frame = 0; frame < 400 && g.app->m_Level == 1; ++frame) Steer(g, 1, 0);
  EXPECT_EQ(g.app->m_Level, 2);
}

TEST(PlayRules, TheFrameThatEndsPlayNeitherFeedsNorMovesThePlayer) {
  for (bool patroller : {true, false}) {  // or a hole
    Game g;
    c_MyApp* app = g.app;
    Arena(g, {"#####", "#S..#", "#####"});
    app->Cell(1, 1, c_MyApp::kCellPill) = 1;
    app->Cell(1, 1, c_MyApp::kCellType) = patroller ? 0 : 2;
    if (patroller) app->p_AddObj(1, 1, 1);
    Steer(g, 1, 0);
    EXPECT_LT(app->m_Outcome, 0);
    EXPECT_EQ(app->m_Score + app->Cell(1, 1, c_MyApp::kCellCrumble), 0) << patroller;
  }
}

TEST(PlayRules, AStepNeverStartsBetweenCellsAndARequestWaitsForTheCentre) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, {"#######",
            "#S....#",
            "#.....#",
            "#.....#",
            "#######"});
  Steer(g, 1, 0);
  ASSERT_EQ(PlayerX(g), 2);
  int downAt = -1, firstRest = -1;
  for (int frame = 0; frame < 30; ++frame) {
    bool between = !AtRest(g);
    if (!between && firstRest < 0) firstRest = frame;
    int x = PlayerX(g), y = PlayerY(g);
    Steer(g, 0, 1);  // down, held from the middle of the step
    EXPECT_FALSE(app->m_Vars[3] != 0 && app->m_Vars[4] != 0) << "one axis at a time";
    if (between) {
      EXPECT_EQ(PlayerX(g), x) << "no step starts between cells";
      EXPECT_EQ(PlayerY(g), y);
    } else if (downAt < 0 && PlayerY(g) == 2) {
      downAt = frame;
    }
  }
  EXPECT_GT(firstRest, 0);
  EXPECT_EQ(downAt, firstRest) << "the down step starts as soon as the offset is back at 0";
  EXPECT_EQ(PlayerX(g), 2);
}

TEST(PlayRules, TurningWinsOverGoingStraight) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, {"########",
            "#S.....#",
            "####.###",
            "####...#",
            "########"});
  std::vector<std::pair<int, int>> path;
  for (int frame = 0; frame < 100 && app->m_Outcome == 0; ++frame) {
    Steer(g, 1, 1);  // right and down held together
    if (path.empty() || path.back() != std::make_pair(PlayerX(g), PlayerY(g)))
      path.push_back({PlayerX(g), PlayerY(g)});
  }
  std::vector<std::pair<int, int>> expected = {{2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}, {5, 3}, {6, 3}};
  EXPECT_EQ(path, expected) << "down wins while moving right; right wins while moving down";
}

TEST(PlayRules, InWorldThreeThePlayerNeverStops) {
  for (int world : {1, 3}) {
    Game g;
    Arena(g, {"########",
              "#S.....#",
              "#......#",
              "########"}, world);
    Steer(g, 1, 0);
    for (int frame = 0; frame < 100; ++frame) Steer(g, 0, 0);
    EXPECT_EQ(PlayerX(g), world == 3 ? 6 : 2) << "world " << world;
    EXPECT_EQ(g.app->m_Outcome, 0);
    if (world == 3) {
      Steer(g, 0, 1);  // blocked ahead, he turns when asked
      for (int frame = 0; frame < 30; ++frame) Steer(g, 0, 0);
      EXPECT_EQ(PlayerY(g), 2);
    }
  }
}

TEST(PlayRules, PatrollersTurnAtWallsCrossHolesAndKillOnTouch) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, {"#########",
            "#S......#",
            "#.#######",
            "#..Px...#",
            "#########"});
  const float* o = app->m_Objs.Data() + 50 * 10;
  int maxX = 0, minXAfter = 99;
  bool turned = false;
  for (int frame = 0; frame < 900; ++frame) {
    Steer(g, 0, 0);
    maxX = std::max(maxX, static_cast<int>(o[1]));
    if (o[5] == 4) turned = true;
    if (turned) minXAfter = std::min(minXAfter, static_cast<int>(o[1]));
    ASSERT_GE(o[1] + o[3], 0.99f);
    ASSERT_LE(o[1] + o[3], 7.01f);
  }
  EXPECT_EQ(maxX, 7) << "it crosses the hole and runs to the wall";
  EXPECT_TRUE(turned);
  EXPECT_EQ(minXAfter, 1);
  EXPECT_EQ(app->m_Outcome, 0);
  // The player walks down into its row and is caught.
  for (int frame = 0; frame < 600 && app->m_Outcome == 0; ++frame) Steer(g, 0, 1);
  EXPECT_LT(app->m_Outcome, 0);
  float dx = std::fabs((o[1] + o[3]) * 47.5f - app->m_Vars[8]);
  EXPECT_LT(dx, 26.125f);
}

TEST(PlayRules, DroppingInPastAPatrollerAndAFriendTouchesNeither) {
  // While his cell drops in, the player is drawn passing through the rows above his own.
  Game g;
  c_MyApp* app = g.app;
  Arena(g, {"#######",
            "#..P..#",
            "#..F..#",
            "#..S..#",
            "#.....#",
            "#######"});
  for (int x = 0; x <= app->m_MapW; ++x)
    for (int y = 0; y < c_MyApp::kMapRows; ++y) app->Cell(x, y, c_MyApp::kCellDrop) = -4 * bb_GW_jscrh;
  app->m_Settling = 1;
  for (int frame = 0; frame < 300 && (frame < 10 || app->m_Settling == 1); ++frame) Steer(g, 0, 0);
  EXPECT_EQ(app->m_Settling, 0);
  EXPECT_EQ(app->m_Outcome, 0);
  EXPECT_EQ(app->m_Vars[79], 0);
}

TEST(PlayRules, PauseFreezesThePlayerTheFloorAndThePatrollers) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, {"#########",
            "#S......#",
            "#..P....#",
            "#########"});
  Steer(g, 1, 0);
  Steer(g, 1, 0);
  app->m_Paused = 1;  // paused as the game pauses: the menu slides in and stays
  app->m_PauseDir = 1;
  float offset = app->m_Vars[3], crumble = app->Cell(1, 1, c_MyApp::kCellCrumble);
  float patrol = app->m_Objs[50 * 10 + 1] + app->m_Objs[50 * 10 + 3];
  for (int frame = 0; frame < 50; ++frame) Steer(g, 1, 0);
  EXPECT_EQ(app->m_Vars[3], offset);
  EXPECT_EQ(app->Cell(1, 1, c_MyApp::kCellCrumble), crumble);
  EXPECT_EQ(app->m_Objs[50 * 10 + 1] + app->m_Objs[50 * 10 + 3], patrol);
  app->m_Paused = 0;
  for (int frame = 0; frame < 200; ++frame) Steer(g, 0, 0);
  EXPECT_EQ(app->Cell(1, 1, c_MyApp::kCellType), 2) << "the cell left behind has collapsed";
}

// A generated level of a game type, in play and dropped in.
void StartLevel(Game& g, int type, int level) {
  c_MyApp* app = g.app;
  app->m_LoadStep = 0;
  app->m_GameType = type;
  app->m_QuestWorld = level / 10;
  app->m_QuestLevel = level % 10;
  app->m_Mode = 11;
  g.Update();
  ASSERT_EQ(app->m_Mode, 10);
  for (int frame = 0; frame < 400 && app->m_Settling == 1; ++frame) g.Update();
  ASSERT_EQ(app->m_Settling, 0);
}

std::vector<float> MapTypes(c_MyApp* app) {
  std::vector<float> types;
  for (int x = 0; x <= app->m_MapW; ++x)
    for (int y = 0; y < c_MyApp::kMapRows; ++y) types.push_back(app->Cell(x, y, c_MyApp::kCellType));
  return types;
}

TEST(PlayRules, ALostLifeRebuildsTheSameLevelAndTheLastOneEndsTheGame) {
  Game g;
  c_MyApp* app = g.app;
  app->p_LoadSFX(3);
  StartLevel(g, 3, 1);
  EXPECT_EQ(app->m_Lives, 3);
  std::vector<float> map = MapTypes(app);
  app->m_Score = 25;
  app->m_Outcome = -1;
  bool dyingSound = false;
  int before = 0;
  for (int frame = 0; frame < 200 && app->m_Lives == 3; ++frame) {
    before = app->m_Outcome;
    g.Update();
    if (app->m_Outcome == -5) dyingSound = LastEffectSounds(app);
  }
  EXPECT_TRUE(dyingSound);
  EXPECT_EQ(app->m_Lives, 2);
  EXPECT_EQ(before, -119) << "the life goes when the animation has run its course";
  EXPECT_EQ(app->m_Outcome, 0);
  EXPECT_EQ(app->m_Score, 25);
  for (int frame = 0; frame < 400 && app->m_Settling == 1; ++frame) g.Update();
  EXPECT_EQ(MapTypes(app), map) << "the same level again";

  app->m_Lives = 1;
  app->m_Outcome = -1;
  for (int frame = 0; frame < 120; ++frame) g.Update();
  EXPECT_EQ(app->m_GameOver, 1);
  EXPECT_EQ(app->m_Lives, 0);
  for (int frame = 0; frame < 60; ++frame) g.Update();
  EXPECT_EQ(app->m_Lives, 0) << "one life lost, not one per frame of the game over";
  EXPECT_EQ(app->m_Outcome, -121);
}

TEST(PlayRules, ACompletedLevelLeadsToTheNextWithTheScoreKept) {
  Game g;
  c_MyApp* app = g.app;
  bb_GW_HasMusic = 0;  // the recorded tunes, in the procedural-music build too
  bb_GW_HasMusicStream = 1;
  StartLevel(g, 2, 1);
  EXPECT_EQ(app->m_TunePlaying, 1) << "the tune starts once the level has dropped in";
  app->m_Score = 40;
  app->m_Outcome = 1;
  for (int frame = 0; frame < 6; ++frame) g.Update();
  EXPECT_EQ(app->m_TunePlaying, 0) << "the tune stops as the level ends";
  for (int frame = 0; frame < 113; ++frame) g.Update();
  EXPECT_EQ(app->m_Level, 1);
  g.Update();
  EXPECT_EQ(app->m_Level, 2);
  EXPECT_EQ(app->m_Score, 40);
  EXPECT_EQ(app->m_Outcome, 0);
  EXPECT_EQ(app->m_Settling, 1);
  EXPECT_EQ(app->m_LevelSeed, 2 * 3 + 2 * 12345);
}

TEST(PlayRules, TheLevelDropsInBeforePlayStarts) {
  Game g;
  c_MyApp* app = g.app;
  app->p_LoadSFX(6);
  app->m_LoadStep = 0;
  app->m_GameType = 6;
  app->m_Mode = 11;
  g.Update();
  int startX = PlayerX(g), startY = PlayerY(g);
  int frames = 0;
  bool landingSound = false;
  for (; app->m_Settling == 1 && frames < 400; ++frames) {
    Steer(g, frames % 2 ? 1.0f : -1.0f, frames % 2 ? 1.0f : -1.0f);
    if (app->m_Settling == 0) break;
    EXPECT_EQ(app->m_BannerY, bb_GW_jscrh / 2) << "the banner waits in the middle";
    EXPECT_EQ(PlayerX(g), startX) << "no step while the level drops in";
    EXPECT_EQ(PlayerY(g), startY);
    landingSound = landingSound || LastEffectSounds(app);
  }
  EXPECT_GE(frames, 40);
  EXPECT_TRUE(landingSound);
  for (int x = 0; x <= app->m_MapW; ++x)
    for (int y = 0; y < c_MyApp::kMapRows; ++y) ASSERT_EQ(app->Cell(x, y, c_MyApp::kCellDrop), 0);
  float banner = app->m_BannerY;
  g.Update();
  g.Update();
  EXPECT_LT(app->m_BannerY, banner) << "then the banner leaves upwards";
}

// Text recorded in the large font (the panels' font) during the last update.
std::string LargeText(const Game& g) { return menutest::Glyphs(g, 89); }

TEST(QuestPanels, ACompletedQuestLevelKeepsItsBestScoreAndOffersTheNextLevel) {
  Game g;
  c_MyApp* app = g.app;
  StartLevel(g, 1, 23);
  EXPECT_EQ(app->m_Lives, 2);
  app->m_Quest[23] = 10;
  app->m_Score = 57;
  app->m_Outcome = 1;
  for (int frame = 0; frame < 125; ++frame) g.Update();
  EXPECT_EQ(app->m_Outcome, 121) << "held while the panel waits";
  std::string text = LargeText(g);
  for (const char* word : {"Level", "Complete", "Retry", "Next", "Menu"})
    EXPECT_NE(text.find(word), std::string::npos) << word << " in " << text;
  EXPECT_EQ(app->m_Quest[23], 57);
  g.KeyDown(39);
  g.Update();
  g.KeyUp(39);
  EXPECT_EQ(app->m_Level, 24);
  EXPECT_EQ(app->m_Lives, 2);
  EXPECT_EQ(app->m_Score, 0);
  EXPECT_EQ(app->m_Outcome, 0);
  EXPECT_EQ(app->m_KeyLatch, 1);
}

TEST(QuestPanels, AFailedQuestLevelOffersHelpOnceTheLivesAreGone) {
  Game g;
  c_MyApp* app = g.app;
  StartLevel(g, 5, 12);
  app->m_Outcome = -1;
  for (int frame = 0; frame < 125; ++frame) g.Update();
  std::string text = LargeText(g);
  EXPECT_NE(text.find("Failed"), std::string::npos);
  EXPECT_EQ(text.find("Help"), std::string::npos) << "lives left: no help yet";
  g.KeyDown(39);  // right does nothing here
  g.Update();
  g.KeyUp(39);
  EXPECT_EQ(app->m_Outcome, -121);
  g.Update();
  g.KeyDown(37);  // Retry
  g.Update();
  g.KeyUp(37);
  EXPECT_EQ(app->m_Lives, 1);
  EXPECT_EQ(app->m_Outcome, 0);
  app->m_Lives = 0;
  for (int frame = 0; frame < 400 && app->m_Settling == 1; ++frame) g.Update();
  app->m_Outcome = -1;
  for (int frame = 0; frame < 125; ++frame) g.Update();
  EXPECT_NE(LargeText(g).find("Help"), std::string::npos);
  g.KeyDown(39);
  g.Update();
  EXPECT_EQ(app->m_Lives, -1);
  EXPECT_EQ(app->m_ShowTrail, 1) << "help shows the trail";
  EXPECT_EQ(app->m_Level, 12);
}

TEST(QuestPanels, MenuReturnsToTheQuestBoxAtTheLevelJustPlayed) {
  Game g;
  c_MyApp* app = g.app;
  StartLevel(g, 9, 37);
  app->m_Outcome = 1;
  for (int frame = 0; frame < 125; ++frame) g.Update();
  // A click on the up arrow's box.
  float cx = static_cast<float>(static_cast<int>(bb_GW_jscrw / 2));
  float cy = static_cast<float>(static_cast<int>(bb_GW_jscrh / 2));
  g.Render();
  g.MouseDown(cx * app->m_ScaleX, (cy - 80) * app->m_ScaleY);
  g.Update();
  EXPECT_EQ(app->m_Mode, 1);
  EXPECT_EQ(app->m_QuestWorld, 3);
  EXPECT_EQ(app->m_QuestLevel, 7);
  EXPECT_EQ(app->m_QuestTarget, 128 - 72 * 7);
}

}  // namespace
