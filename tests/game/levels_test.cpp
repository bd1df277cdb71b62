// Level generation: determinism, the mirrored maze, the trail, friends, hazards and widths, and
// the cell rules that the player, the trail search and the patrollers use.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "autopilot.h"
#include "harness.h"

namespace {

using gametest::Game;
using gametest::Generate;

// Everything a level is made of, for comparisons: the given cell slots, the player, friends and
// home, and the moving objects.
std::vector<float> Take(c_MyApp* app, std::initializer_list<int> slots = {0, 5, 6, 7, 8, 9}) {
  std::vector<float> s = {static_cast<float>(app->m_World), static_cast<float>(app->m_MapW),
                          static_cast<float>(app->m_BestTrace)};
  for (int x = 0; x <= app->m_MapW; ++x)
    for (int y = 0; y < c_MyApp::kMapRows; ++y)
      for (int slot : slots) s.push_back(app->Cell(x, y, slot));
  for (int i : {1, 2, 79, 80, 81, 82, 85, 86, 87, 90, 91, 92, 95, 96, 97, 98, 99}) s.push_back(app->m_Vars[i]);
  for (int i = 0; i < c_MyApp::kObjects * 10; ++i) s.push_back(app->m_Objs[i]);
  return s;
}

TEST(LevelGeneration, TheSameTypeLevelAndSeedBaseAlwaysGiveTheSameLevelAndTheTutorialItsOwn) {
  Game g;
  c_MyApp* app = g.app;
  for (int type : {1, 2, 5, 8, 9, 12}) {
    Generate(app, type, 9, type * 12345);
    std::vector<float> first = Take(app);
    Generate(app, 3, 4, 777);  // something else in between
    bb_random_Seed = 99;
    Generate(app, type, 9, type * 12345);
    EXPECT_EQ(Take(app), first) << "type " << type;
    Generate(app, type, 9, type * 12345 + 1);
    EXPECT_NE(Take(app), first) << "another seed base gives another level, type " << type;
  }
  Generate(app, 1, 0, 12345);
  std::vector<float> tutorial = Take(app);
  EXPECT_EQ(app->m_LevelSeed, 1234);
  EXPECT_EQ(app->m_Tutorial + app->m_ShowTrail, 2) << "the tutorial shows its trail";
  Generate(app, 1, 0, 55555);
  EXPECT_EQ(Take(app), tutorial) << "the seed base does not matter to the tutorial";
  Generate(app, 1, 1, 12345);
  EXPECT_EQ(app->m_Tutorial, 0);
  EXPECT_EQ(app->m_LevelSeed, 3 + 12345);
}

// Walks the trail from the start: every step enters a neighbour in the direction it records, no
// cell is visited twice, the walk ends at the home, and no trail cell is left out.
void CheckTrail(c_MyApp* app) {
  const int kDX[5] = {0, 0, 1, 0, -1}, kDY[5] = {0, -1, 0, 1, 0};
  int x = static_cast<int>(app->m_Vars[1]), y = static_cast<int>(app->m_Vars[2]);
  std::set<std::pair<int, int>> seen{{x, y}};
  for (int d; (d = bbTrailNext(app, x, y, static_cast<int>(app->m_Vars[1]), static_cast<int>(app->m_Vars[2]))) != 0;) {
    x += kDX[d];
    y += kDY[d];
    ASSERT_TRUE(seen.insert({x, y}).second) << "the trail crosses itself at " << x << "," << y;
    ASSERT_NE(app->Cell(x, y, c_MyApp::kCellType), 1);
  }
  EXPECT_EQ(x, app->m_Vars[98]) << "the trail ends at the home";
  EXPECT_EQ(y, app->m_Vars[99]);
  EXPECT_EQ(static_cast<int>(seen.size()), app->m_BestTrace + 1) << "the start and one cell per step";
  int marked = 0;
  for (int cx = 0; cx <= app->m_MapW; ++cx)
    for (int cy = 0; cy < c_MyApp::kMapRows; ++cy) marked += app->Cell(cx, cy, c_MyApp::kCellTrail) != 0;
  EXPECT_EQ(marked, static_cast<int>(seen.size()));
}

// The dug maze is a mirror image about its centre column inside a wall border; the finished level
// has a trail from the start past the four waiting friends to the home and a pill on every floor
// cell; in the Pathfinder types (5-8) only the trail is floor and the rest are holes.
TEST(LevelGeneration, MirroredMazesWithATrailFromTheStartPastTheFriendsToTheHome) {
  Game g;
  c_MyApp* app = g.app;
  for (int type = 1; type <= 12; ++type) {
    for (int level : {1, 2, 3, 4, 5, 6, 12, 30}) {
      SCOPED_TRACE("type " + std::to_string(type) + " level " + std::to_string(level));
      app->m_GameType = type;
      app->m_Level = level;
      app->m_SeedBase = type * 12345;
      app->p_GetLevel();
      int w = app->m_MapW / 2, floors = 0;
      for (int x = 0; x <= app->m_MapW; ++x) {
        for (int y = 0; y < c_MyApp::kMapRows; ++y) {
          float cell = app->Cell(x, y, c_MyApp::kCellType);
          ASSERT_EQ(cell, app->Cell(2 * w - x, y, c_MyApp::kCellType)) << x << "," << y;
          ASSERT_EQ(app->Cell(x, y, c_MyApp::kCellWall) > 0, cell == 1) << "walls, and only walls, have a tile";
          if (x == 0 || x == app->m_MapW || y == 0 || y >= 32) { ASSERT_EQ(cell, 1) << "the border stays wall"; }
          ASSERT_EQ(app->Cell(x, y, c_MyApp::kCellDrop), -4 * bb_GW_jscrh);
          floors += cell == 0;
        }
      }
      EXPECT_EQ(app->Cell(w, app->m_Vars[2], c_MyApp::kCellType), 0) << "the start lies on floor";
      EXPECT_EQ(app->m_TraceBudget, floors / 2);

      while (app->m_TraceCount < c_MyApp::kTraceWalks) app->p_GetLevelB();
      CheckTrail(app);
      EXPECT_GT(app->m_BestTrace, 10);
      for (int k = 0; k < 4; ++k) {
        EXPECT_NE(app->Cell(app->m_Vars[80 + 5 * k], app->m_Vars[81 + 5 * k], c_MyApp::kCellTrail), 0) << k;
        EXPECT_EQ(app->m_Vars[82 + 5 * k], 1) << k;
      }
      bool pathfinder = type >= 5 && type <= 8;
      EXPECT_EQ(app->m_LevelKind, pathfinder ? 2 : 1);
      for (int x = 0; x <= app->m_MapW; ++x) {
        for (int y = 0; y < c_MyApp::kMapRows; ++y) {
          float cell = app->Cell(x, y, c_MyApp::kCellType);
          ASSERT_EQ(app->Cell(x, y, c_MyApp::kCellPill), cell == 0 ? 1 : 0) << x << "," << y;
          if (pathfinder) { ASSERT_EQ(cell, app->Cell(x, y, c_MyApp::kCellTrail) != 0 ? 0 : 2) << x << "," << y; }
        }
      }
    }
  }
  Generate(app, 1, 0, 0);
  CheckTrail(app);
}

TEST(LevelGeneration, HazardsAppearOnlyInTheirWorlds) {
  Game g;
  c_MyApp* app = g.app;
  std::set<int> spikeWorlds, oneWayWorlds, patrolWorlds, worlds;
  for (int type : {2, 3, 6, 10}) {
    for (int level = 1; level <= 20; ++level) {
      Generate(app, type, level, type * 12345);
      worlds.insert(app->m_World);
      for (int x = 0; x <= app->m_MapW; ++x) {
        for (int y = 0; y < c_MyApp::kMapRows; ++y) {
          int special = static_cast<int>(app->Cell(x, y, c_MyApp::kCellSpecial));
          if (special == 0) continue;
          EXPECT_EQ(app->Cell(x, y, c_MyApp::kCellType), 0);
          (special == 1 ? spikeWorlds : oneWayWorlds).insert(app->m_World);
          // A one-way cell lets the trail through in the direction it runs.
          int trail = static_cast<int>(app->Cell(x, y, c_MyApp::kCellTrail));
          if (special >= 2) { EXPECT_EQ(special, trail == 2 ? 2 : trail == 4 ? 3 : trail == 1 ? 4 : 5); }
        }
      }
      for (int s = 0; s < c_MyApp::kObjects; ++s) {
        const float* o = app->m_Objs.Data() + s * 10;
        if (o[0] == 0) continue;
        patrolWorlds.insert(app->m_World);
        EXPECT_EQ(o[0], 1);
        EXPECT_NE(o[2], app->m_Vars[2]) << "never in the start row";
        EXPECT_TRUE(o[7] >= 0.025f && o[7] < 0.045f) << o[7];
      }
      EXPECT_NE(app->Cell(app->m_Vars[1], app->m_Vars[2], c_MyApp::kCellSpecial), 1);
    }
  }
  EXPECT_EQ(worlds.size(), 9u) << "the levels cover every world";
  EXPECT_EQ(spikeWorlds, (std::set<int>{2, 5, 9}));
  EXPECT_EQ(oneWayWorlds, (std::set<int>{6, 9}));
  EXPECT_EQ(patrolWorlds, (std::set<int>{4, 5}));
}

TEST(LevelGeneration, WorldsWidthsAndTheTileSetFollowTheTypeAndLevel) {
  Game g;
  c_MyApp* app = g.app;
  auto level = [app](int type, int level, int seedBase) {
    app->m_GameType = type;
    app->m_Level = level;
    app->m_SeedBase = seedBase;
    app->p_GetLevel();
  };
  level(2, 4, 24690);
  EXPECT_EQ(app->m_MapW, 32) << "every fourth Path A level is 16 wide";
  level(5, 3, 0);
  EXPECT_EQ(app->m_MapW, 32) << "a halved width is limited to 16";
  level(9, 1, 0);
  EXPECT_EQ(app->m_MapW, 180) << "Expanse levels start 90 wide";
  int widest = 0;
  for (int n = 990; n <= 999; ++n) level(12, n, 0), widest = std::max(widest, app->m_MapW);
  EXPECT_EQ(widest, 256) << "Expanse widths above 128 are limited to 128";
  for (int type = 1; type <= 12; ++type) {
    for (int n = 1; n <= 40; n += 3) {
      level(type, n, 5);
      EXPECT_TRUE(app->m_MapW >= 32 && app->m_MapW <= 256 && app->m_MapW % 2 == 0) << app->m_MapW;
      EXPECT_EQ(app->m_Tileset, app->m_World) << "the tile set follows the world";
    }
  }
  // Two levels per world, worlds 3 and 7 swapped; five per world in the Quest types.
  const int expected[] = {1, 1, 2, 2, 7, 7, 4, 4, 5, 5, 6, 6, 3, 3, 8, 8, 9, 9, 1};
  for (int n = 1; n <= 19; ++n) {
    level(3, n, 0);
    EXPECT_EQ(app->m_World, expected[n - 1]) << "level " << n;
  }
  level(9, 14, 0);
  EXPECT_EQ(app->m_World, 7);
  EXPECT_NE(app->m_Img[4], nullptr) << "world-07 is loaded into slot 4";
}

TEST(LevelGeneration, ALevelPlayedEndsUpAsTheLevelGeneratedWithoutPlaying) {
  Game g;
  c_MyApp* app = g.app;
  Generate(app, 10, 5, 123456);
  std::vector<float> direct = Take(app, {0, 6, 7, 8, 9});  // spikes rise while played
  // The level screen runs the search one step per frame with other draws in between.
  app->m_LoadStep = 0;
  app->m_Mode = 10;
  app->m_Lives = 3;
  app->p_GetLevel();
  for (int frame = 1; frame <= 40; ++frame) {
    EXPECT_EQ(app->m_Settling, 1) << "play waits for the layout";
    g.Update();
    EXPECT_EQ(app->m_TraceCount, 5 * frame);
  }
  EXPECT_EQ(Take(app, {0, 6, 7, 8, 9}), direct);
}

TEST(LevelRules, EnteringCells) {
  Game g;
  c_MyApp* app = g.app;
  gametest::Arena(g, {"#######",
                      "#S.x>.#",
                      "#.<AV.#",
                      "#H....#",
                      "#######"});
  // x, y, direction (1 up, 2 right, 3 down, 4 left, 0 none), solid: outside the map, a wall,
  // floor, a hole, and one-way cells, open in their own direction only and only to a mover.
  const int cases[][4] = {{-1, 1, 2, 1}, {7, 1, 2, 1}, {1, 33, 3, 1}, {0, 1, 4, 1}, {2, 1, 2, 0}, {3, 1, 2, 1},
                          {4, 1, 2, 0},  {4, 1, 4, 1}, {4, 1, 3, 1},  {4, 1, 0, 0}, {2, 2, 4, 0}, {2, 2, 2, 1},
                          {3, 2, 1, 0},  {3, 2, 3, 1}, {4, 2, 3, 0},  {4, 2, 1, 1}};
  for (const auto& c : cases) EXPECT_EQ(app->p_isSolid(c[0], c[1], c[2]), c[3]) << c[0] << "," << c[1] << " " << c[2];
  // Crumbling: solid; the home never crumbles.
  app->p_Cave(5, 1);
  EXPECT_EQ(app->Cell(5, 1, c_MyApp::kCellCrumble), 0.05f);
  EXPECT_EQ(app->p_isSolid(5, 1, 2), 1);
  app->p_Cave(1, 3);
  EXPECT_EQ(app->Cell(1, 3, c_MyApp::kCellCrumble), 0);
  app->p_Cave(-1, 40);  // ignored
  // World 8: holes and crumbling cells let a mover in.
  app->m_World = 8;
  EXPECT_EQ(app->p_isSolid(3, 1, 2) + app->p_isSolid(5, 1, 2), 0);
  EXPECT_EQ(app->p_isSolid(3, 1, 0), 1) << "without a direction the hole is still a hole";
  EXPECT_EQ(app->p_isSolid(0, 1, 4), 1);
  app->m_World = 1;
  // The tutorial's home stays shut until four friends follow.
  app->m_Tutorial = 1;
  app->m_Vars[79] = 3;
  EXPECT_EQ(app->p_isSolid(1, 3, 3), 1);
  app->m_Vars[79] = 4;
  EXPECT_EQ(app->p_isSolid(1, 3, 3), 0);
  // The trail search stops at walls, crumbling and its own marks; patrollers only at walls.
  EXPECT_EQ(app->p_isSolid2(2, 1), 0);
  EXPECT_EQ(app->p_isSolid2(5, 1), 1);
  app->Cell(2, 1, c_MyApp::kCellPill) = 3;
  EXPECT_EQ(app->p_isSolid2(2, 1), 1);
  EXPECT_EQ(app->p_isSolid2(0, 0), 1);
  EXPECT_EQ(app->p_isSolid_G(3, 1, 2), 0) << "patrollers cross holes";
  EXPECT_EQ(app->p_isSolid_G(0, 1, 4), 1);
  EXPECT_EQ(app->p_isSolid_G(7, 1, 2), 1);
}

TEST(LevelRules, ObjectsFillTheTableFromTheEndAndTheFullTableDropsMore) {
  Game g;
  c_MyApp* app = g.app;
  gametest::Arena(g, {"#####"});
  app->p_AddObj(3, 4, 1);
  const float* last = app->m_Objs.Data() + 50 * 10;
  EXPECT_EQ(std::vector<float>(last, last + 6), std::vector<float>({1, 3, 4, 0, 0, 2})) << "a patroller starts right";
  app->p_AddObj(1, 1, 4);
  EXPECT_EQ(app->m_Objs[49 * 10 + 5], 1);
  for (int i = 0; i < 60; ++i) app->p_AddObj(2, 2, 2);
  int used = 0;
  for (int s = 0; s < c_MyApp::kObjects; ++s) used += app->m_Objs[s * 10] != 0;
  EXPECT_EQ(used, 51);
  EXPECT_EQ(last[1], 3) << "nothing was overwritten";
}

}  // namespace
