// Level generation: determinism, the mirrored maze, the trail, friends, hazards and widths, and
// the cell rules that the player, the trail search and the patrollers use.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "autopilot.h"
#include "harness.h"
#include "level_support.h"

namespace {

using gametest::Game;
using gametest::Generate;

// Everything a level is made of, for comparisons.
struct Snapshot {
  int world, mapw, best;
  std::vector<float> cells, vars, objs;
  bool operator==(const Snapshot& o) const {
    return world == o.world && mapw == o.mapw && best == o.best && cells == o.cells && vars == o.vars &&
           objs == o.objs;
  }
};

Snapshot Take(c_MyApp* app) {
  Snapshot s{app->m_World, app->m_MapW, app->m_BestTrace, {}, {}, {}};
  for (int x = 0; x <= app->m_MapW; ++x)
    for (int y = 0; y < c_MyApp::kMapRows; ++y)
      for (int slot : {0, 5, 6, 7, 8, 9}) s.cells.push_back(app->Cell(x, y, slot));
  for (int i : {1, 2, 79, 80, 81, 82, 85, 86, 87, 90, 91, 92, 95, 96, 97, 98, 99}) s.vars.push_back(app->m_Vars[i]);
  for (int i = 0; i < c_MyApp::kObjects * 10; ++i) s.objs.push_back(app->m_Objs[i]);
  return s;
}

TEST(LevelGeneration, TheSameTypeLevelAndSeedBaseAlwaysGiveTheSameLevel) {
  Game g;
  c_MyApp* app = g.app;
  for (int type : {1, 2, 5, 8, 9, 12}) {
    Generate(app, type, 9, type * 12345);
    Snapshot first = Take(app);
    Generate(app, 3, 4, 777);  // something else in between
    bb_random_Seed = 99;
    Generate(app, type, 9, type * 12345);
    EXPECT_TRUE(Take(app) == first) << "type " << type;
    Generate(app, type, 9, type * 12345 + 1);
    EXPECT_FALSE(Take(app) == first) << "another seed base gives another level, type " << type;
  }
}

TEST(LevelGeneration, TheTutorialUsesItsOwnSeedAndShowsTheTrail) {
  Game g;
  c_MyApp* app = g.app;
  Generate(app, 1, 0, 12345);
  Snapshot tutorial = Take(app);
  EXPECT_EQ(app->m_LevelSeed, 1234);
  EXPECT_EQ(app->m_Tutorial, 1);
  EXPECT_EQ(app->m_ShowTrail, 1);
  Generate(app, 1, 0, 55555);
  EXPECT_TRUE(Take(app) == tutorial) << "the seed base does not matter to the tutorial";
  Generate(app, 1, 1, 12345);
  EXPECT_EQ(app->m_Tutorial, 0);
  EXPECT_EQ(app->m_LevelSeed, 3 + 12345);
}

TEST(LevelGeneration, TheDugMazeIsAMirrorImageAboutItsCentreColumn) {
  Game g;
  c_MyApp* app = g.app;
  for (int type = 1; type <= 12; ++type) {
    for (int level : {1, 2, 7, 30}) {
      app->m_GameType = type;
      app->m_Level = level;
      app->m_SeedBase = type * 12345;
      app->p_GetLevel();
      int w = app->m_MapW / 2;
      int floors = 0;
      for (int x = 0; x <= app->m_MapW; ++x) {
        for (int y = 0; y < c_MyApp::kMapRows; ++y) {
          float type0 = app->Cell(x, y, c_MyApp::kCellType);
          ASSERT_EQ(type0, app->Cell(2 * w - x, y, c_MyApp::kCellType)) << type << "/" << level << " at " << x << "," << y;
          ASSERT_EQ(app->Cell(x, y, c_MyApp::kCellWall) > 0, type0 == 1) << "walls, and only walls, have a tile";
          bool edge = x == 0 || x == app->m_MapW || y == 0 || y >= 32;
          if (edge) {
            EXPECT_EQ(type0, 1) << "the border stays wall";
          }
          if (type0 == 0) ++floors;
          EXPECT_EQ(app->Cell(x, y, c_MyApp::kCellDrop), -4 * bb_GW_jscrh);
        }
      }
      EXPECT_EQ(app->Cell(w, app->m_Vars[2], c_MyApp::kCellType), 0) << "the start lies on floor";
      EXPECT_EQ(app->m_TraceBudget, floors / 2);
    }
  }
}

// Walks the trail from the start: every step enters a neighbour in the direction it records, no
// cell is visited twice, the walk ends at the home, and no trail cell is left out.
void CheckTrail(c_MyApp* app, const std::string& what) {
  int x = static_cast<int>(app->m_Vars[1]), y = static_cast<int>(app->m_Vars[2]);
  std::set<std::pair<int, int>> seen{{x, y}};
  int startX = x, startY = y;
  for (int d; (d = bbTrailNext(app, x, y, startX, startY)) != 0;) {
    x += gametest::kDX[d];
    y += gametest::kDY[d];
    ASSERT_TRUE(seen.insert({x, y}).second) << what << ": the trail crosses itself at " << x << "," << y;
    ASSERT_NE(app->Cell(x, y, c_MyApp::kCellType), 1) << what;
  }
  EXPECT_EQ(x, app->m_Vars[98]) << what << ": the trail ends at the home";
  EXPECT_EQ(y, app->m_Vars[99]) << what;
  EXPECT_EQ(static_cast<int>(seen.size()), app->m_BestTrace + 1) << what << ": the start and one cell per step";
  int marked = 0;
  for (int cx = 0; cx <= app->m_MapW; ++cx)
    for (int cy = 0; cy < c_MyApp::kMapRows; ++cy) marked += app->Cell(cx, cy, c_MyApp::kCellTrail) != 0;
  EXPECT_EQ(marked, static_cast<int>(seen.size())) << what;
}

TEST(LevelGeneration, TheTrailRunsCellByCellFromTheStartToTheHomeAndTheFriendsLieOnIt) {
  Game g;
  c_MyApp* app = g.app;
  for (int type = 1; type <= 12; ++type) {
    for (int level = 1; level <= 6; ++level) {
      Generate(app, type, level, type * 12345);
      std::string what = "type " + std::to_string(type) + " level " + std::to_string(level);
      CheckTrail(app, what);
      EXPECT_GT(app->m_BestTrace, 10) << what;
      for (int k = 0; k < 4; ++k) {
        int fx = static_cast<int>(app->m_Vars[80 + 5 * k]), fy = static_cast<int>(app->m_Vars[81 + 5 * k]);
        EXPECT_NE(app->Cell(fx, fy, c_MyApp::kCellTrail), 0) << what << " friend " << k;
        EXPECT_EQ(app->m_Vars[82 + 5 * k], 1) << what;
      }
      // The pills: every floor cell has one, start and home included.
      for (int x = 0; x <= app->m_MapW; ++x)
        for (int y = 0; y < c_MyApp::kMapRows; ++y)
          ASSERT_EQ(app->Cell(x, y, c_MyApp::kCellPill), app->Cell(x, y, c_MyApp::kCellType) == 0 ? 1 : 0) << what;
    }
  }
  Generate(app, 1, 0, 0);
  CheckTrail(app, "tutorial");
}

TEST(LevelGeneration, InPathfinderTypesOnlyTheTrailIsFloor) {
  Game g;
  c_MyApp* app = g.app;
  for (int type = 5; type <= 8; ++type) {
    for (int level : {1, 3, 12}) {
      Generate(app, type, level, type * 12345);
      EXPECT_EQ(app->m_LevelKind, 2);
      for (int x = 0; x <= app->m_MapW; ++x) {
        for (int y = 0; y < c_MyApp::kMapRows; ++y) {
          bool onTrail = app->Cell(x, y, c_MyApp::kCellTrail) != 0;
          ASSERT_EQ(app->Cell(x, y, c_MyApp::kCellType) == 0, onTrail) << type << "/" << level << " " << x << "," << y;
          if (!onTrail) {
            ASSERT_EQ(app->Cell(x, y, c_MyApp::kCellType), 2);
          }
          ASSERT_EQ(app->Cell(x, y, c_MyApp::kCellPill), onTrail ? 1 : 0);
        }
      }
    }
  }
  Generate(app, 2, 1, 24690);
  EXPECT_EQ(app->m_LevelKind, 1);
}

TEST(LevelGeneration, HazardsAppearOnlyInTheirWorlds) {
  Game g;
  c_MyApp* app = g.app;
  std::set<int> spikeWorlds, oneWayWorlds, patrolWorlds, worlds;
  for (int type : {2, 3, 6, 10}) {
    for (int level = 1; level <= 20; ++level) {
      Generate(app, type, level, type * 12345);
      int world = app->m_World;
      worlds.insert(world);
      for (int x = 0; x <= app->m_MapW; ++x) {
        for (int y = 0; y < c_MyApp::kMapRows; ++y) {
          int special = static_cast<int>(app->Cell(x, y, c_MyApp::kCellSpecial));
          if (special == 0) continue;
          EXPECT_EQ(app->Cell(x, y, c_MyApp::kCellType), 0);
          if (special == 1) spikeWorlds.insert(world);
          if (special >= 2) {
            oneWayWorlds.insert(world);
            // A one-way cell lets the trail through in the direction it runs.
            int trail = static_cast<int>(app->Cell(x, y, c_MyApp::kCellTrail));
            EXPECT_EQ(special, trail == 2 ? 2 : trail == 4 ? 3 : trail == 1 ? 4 : 5);
          }
        }
      }
      for (int s = 0; s < c_MyApp::kObjects; ++s) {
        const float* o = app->m_Objs.Data() + s * 10;
        if (o[0] == 0) continue;
        patrolWorlds.insert(world);
        EXPECT_EQ(o[0], 1);
        EXPECT_NE(o[2], app->m_Vars[2]) << "never in the start row";
        EXPECT_GE(o[7], 0.025f);
        EXPECT_LT(o[7], 0.045f);
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
  Generate(app, 2, 4, 24690);
  EXPECT_EQ(app->m_MapW, 32) << "every fourth Path A level is 16 wide";
  Generate(app, 5, 3, 0);
  EXPECT_EQ(app->m_MapW, 32) << "a halved width is limited to 16";
  int widest = 0;
  for (int level = 990; level <= 999; ++level) {
    app->m_GameType = 12;
    app->m_Level = level;
    app->p_GetLevel();
    widest = std::max(widest, app->m_MapW);
  }
  EXPECT_EQ(widest, 256) << "Expanse widths above 128 are limited to 128";
  Generate(app, 9, 1, 0);
  EXPECT_EQ(app->m_MapW, 180) << "Expanse levels start 90 wide";
  for (int type = 1; type <= 12; ++type) {
    for (int level = 1; level <= 40; level += 3) {
      app->m_GameType = type;
      app->m_Level = level;
      app->m_SeedBase = 5;
      app->p_GetLevel();
      EXPECT_GE(app->m_MapW, 32);
      EXPECT_LE(app->m_MapW, 256);
      EXPECT_EQ(app->m_MapW % 2, 0);
      EXPECT_EQ(app->m_Tileset, app->m_World) << "the tile set follows the world";
    }
  }
  // Two levels per world, worlds 3 and 7 swapped; five per world in the Quest types.
  int expected[] = {1, 1, 2, 2, 7, 7, 4, 4, 5, 5, 6, 6, 3, 3, 8, 8, 9, 9, 1};
  for (int level = 1; level <= 19; ++level) {
    app->m_GameType = 3;
    app->m_Level = level;
    app->p_GetLevel();
    EXPECT_EQ(app->m_World, expected[level - 1]) << "level " << level;
  }
  app->m_GameType = 9;
  app->m_Level = 14;
  app->p_GetLevel();
  EXPECT_EQ(app->m_World, 7);
  EXPECT_NE(app->m_Img[4], nullptr) << "world-07 is loaded into slot 4";
}

// The drop-in draws from where each step of the trail search leaves the generator, so the steps
// leave it where they always have: the sums of its seeds after each step were recorded when every
// walk still made every one of its draws.
TEST(LevelGeneration, TheTrailSearchLeavesTheGeneratorWhereItAlwaysHas) {
  Game g;
  const unsigned rows[][3] = {{1, 0, 750455073u}, {6, 7, 1286869307u}, {9, 55, 2893122938u}, {11, 131, 1334374666u}};
  for (const auto& row : rows) {
    Generate(g.app, int(row[0]), int(row[1]), int(row[0]) * 12345);
    g.app->p_GetLevel();  // afresh, to search again step by step
    unsigned seeds = 0;
    while (g.app->m_TraceCount < c_MyApp::kTraceWalks) seeds += (g.app->p_GetLevelB(), unsigned(bb_random_Seed));
    EXPECT_EQ(seeds, row[2]) << "type " << row[0];
  }
}

TEST(LevelGeneration, ALevelPlayedEndsUpAsTheLevelGeneratedWithoutPlaying) {
  Game g;
  c_MyApp* app = g.app;
  Generate(app, 10, 5, 123456);
  Snapshot direct = Take(app);
  // The level screen runs the search one step per frame with other draws in between.
  app->m_GameType = 10;
  app->m_Level = 5;
  app->m_SeedBase = 123456;
  app->m_LoadStep = 0;
  app->m_Mode = 10;
  app->m_Lives = 3;
  app->p_GetLevel();
  for (int frame = 1; frame <= 40; ++frame) {
    EXPECT_EQ(app->m_Settling, 1) << "play waits for the layout";
    g.Update();
    EXPECT_EQ(app->m_TraceCount, 5 * frame);
  }
  Snapshot played = Take(app);
  for (size_t i = 0; i < played.cells.size(); i += 6) played.cells[i + 1] = direct.cells[i + 1];  // spikes raised
  EXPECT_TRUE(played == direct);
}

TEST(LevelRules, EnteringCells) {
  Game g;
  c_MyApp* app = g.app;
  gametest::Arena(g, {"#######",
                      "#S.x>.#",
                      "#.<AV.#",
                      "#H....#",
                      "#######"});
  EXPECT_EQ(app->p_isSolid(-1, 1, 2), 1) << "outside the map";
  EXPECT_EQ(app->p_isSolid(7, 1, 2), 1);
  EXPECT_EQ(app->p_isSolid(1, 33, 3), 1);
  EXPECT_EQ(app->p_isSolid(0, 1, 4), 1) << "a wall";
  EXPECT_EQ(app->p_isSolid(2, 1, 2), 0);
  EXPECT_EQ(app->p_isSolid(3, 1, 2), 1) << "a hole";
  // One-way cells open in their own direction only, and only to a mover.
  EXPECT_EQ(app->p_isSolid(4, 1, 2), 0);
  EXPECT_EQ(app->p_isSolid(4, 1, 4), 1);
  EXPECT_EQ(app->p_isSolid(4, 1, 3), 1);
  EXPECT_EQ(app->p_isSolid(4, 1, 0), 0);
  EXPECT_EQ(app->p_isSolid(2, 2, 4), 0);
  EXPECT_EQ(app->p_isSolid(2, 2, 2), 1);
  EXPECT_EQ(app->p_isSolid(3, 2, 1), 0);
  EXPECT_EQ(app->p_isSolid(3, 2, 3), 1);
  EXPECT_EQ(app->p_isSolid(4, 2, 3), 0);
  EXPECT_EQ(app->p_isSolid(4, 2, 1), 1);
  // Crumbling: solid; the home never crumbles.
  app->p_Cave(5, 1);
  EXPECT_EQ(app->Cell(5, 1, c_MyApp::kCellCrumble), 0.05f);
  EXPECT_EQ(app->p_isSolid(5, 1, 2), 1);
  app->p_Cave(1, 3);
  EXPECT_EQ(app->Cell(1, 3, c_MyApp::kCellCrumble), 0);
  app->p_Cave(-1, 40);  // ignored
  // World 8: holes and crumbling cells let a mover in.
  app->m_World = 8;
  EXPECT_EQ(app->p_isSolid(3, 1, 2), 0);
  EXPECT_EQ(app->p_isSolid(5, 1, 2), 0);
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
  EXPECT_EQ(last[0], 1);
  EXPECT_EQ(last[1], 3);
  EXPECT_EQ(last[2], 4);
  EXPECT_EQ(last[5], 2) << "a patroller starts moving right";
  app->p_AddObj(1, 1, 4);
  EXPECT_EQ(app->m_Objs[49 * 10 + 5], 1);
  for (int i = 0; i < 60; ++i) app->p_AddObj(2, 2, 2);
  int used = 0;
  for (int s = 0; s < c_MyApp::kObjects; ++s) used += app->m_Objs[s * 10] != 0;
  EXPECT_EQ(used, 51);
  EXPECT_EQ(last[1], 3) << "nothing was overwritten";
}

}  // namespace
