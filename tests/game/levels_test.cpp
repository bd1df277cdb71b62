// Level generation: determinism, the mirrored maze, the trail, friends, hazards and widths, and
// the cell rules that the player, the trail search and the patrollers use.
#include <algorithm>
#include <set>

#include "autopilot.h"
#include "game_test.h"

namespace {

using LevelGeneration = GameTest;
using LevelRules = GameTest;

// Generates a level as the level screen does, through the first `stages` of its three stages.
void Generate(c_MyApp* a, int type, int level, int seedBase, int stages = 3) {
  a->m_GameType = type, a->m_Level = level, a->m_SeedBase = seedBase;
  a->p_GetLevel();
  while (stages > 1 && a->m_TraceCount < c_MyApp::kTraceWalks) a->p_GetLevelB();
}

// What a level is made of: cells (but the spikes, which rise in play), player, friends, home, objects.
std::vector<double> Take(c_MyApp* a) {
  std::vector<double> s = V(a->m_World, a->m_MapW, a->m_BestTrace);
  for (int x = 0; x <= a->m_MapW; ++x)
    for (int y = 0; y < c_MyApp::kMapRows; ++y)
      for (int slot : {0, 6, 7, 8, 9}) s.push_back(a->Cell(x, y, slot));
  for (int i : {1, 2, 79, 80, 81, 82, 85, 86, 87, 90, 91, 92, 95, 96, 97, 98, 99}) s.push_back(a->m_Vars[i]);
  for (int i = 0; i < c_MyApp::kObjects * 10; ++i) s.push_back(a->m_Objs[i]);
  return s;
}

// Walks the trail from the start: every step enters a neighbour in the direction it records, no
// cell is visited twice, the walk ends at the home, and no trail cell is left out.
void CheckTrail(c_MyApp* a) {
  const int kDX[5] = {0, 0, 1, 0, -1}, kDY[5] = {0, -1, 0, 1, 0};
  const int startX = static_cast<int>(a->m_Vars[1]), startY = static_cast<int>(a->m_Vars[2]);
  int x = startX, y = startY, marked = 0;
  std::set<std::pair<int, int>> seen{{x, y}};
  for (int d; (d = bbTrailNext(a, x, y, startX, startY)) != 0;) {
    x += kDX[d];
    y += kDY[d];
    ASSERT_TRUE(seen.insert({x, y}).second && a->Cell(x, y, c_MyApp::kCellType) != 1) << x << "," << y;
  }
  for (int cx = 0; cx <= a->m_MapW; ++cx)
    for (int cy = 0; cy < c_MyApp::kMapRows; ++cy) marked += a->Cell(cx, cy, c_MyApp::kCellTrail) != 0;
  // It ends at the home; the start and one cell per step, more than ten of them.
  EXPECT_EQ(V(x, y, seen.size(), marked, a->m_BestTrace > 10),
            V(a->m_Vars[98], a->m_Vars[99], a->m_BestTrace + 1, seen.size(), 1));
}

// The dug maze is a mirror image about its centre column inside a wall border; the finished level
// has a trail from the start past the four waiting friends to the home and a pill on every floor
// cell; in the Pathfinder types (5-8) only the trail is floor and the rest are holes.
TEST_F(LevelGeneration, MirroredMazesWithATrailFromTheStartPastTheFriendsToTheHome) {
  for (int type = 1; type <= 12; ++type) {
    for (int level : {1, 2, 3, 4, 5, 6, 12, 30}) {
      SCOPED_TRACE("type " + std::to_string(type) + " level " + std::to_string(level));
      Generate(a, type, level, type * 12345, 1);
      int w = a->m_MapW / 2, floors = 0;
      for (int x = 0; x <= a->m_MapW; ++x) {
        for (int y = 0; y < c_MyApp::kMapRows; ++y) {
          float cell = a->Cell(x, y, c_MyApp::kCellType);
          bool border = x == 0 || x == a->m_MapW || y == 0 || y >= 32;
          // Mirrored; walls, and only walls, have a tile; the border stays wall; all of it high up.
          ASSERT_EQ(V(a->Cell(2 * w - x, y, c_MyApp::kCellType), a->Cell(x, y, c_MyApp::kCellWall) > 0, border && cell != 1,
                      a->Cell(x, y, c_MyApp::kCellDrop)),
                    V(cell, cell == 1, 0, -4 * bb_GW_jscrh)) << x << "," << y;
          floors += cell == 0;
        }
      }
      // The start on floor; an even width of 32 to 256 cells; the world's tile set loaded.
      EXPECT_EQ(V(a->Cell(w, a->m_Vars[2], c_MyApp::kCellType), a->m_TraceBudget, a->m_MapW % 2,
                  a->m_MapW >= 32 && a->m_MapW <= 256, a->m_Tileset, a->m_Img[4] != nullptr),
                V(0, floors / 2, 0, 1, a->m_World, 1));
      while (a->m_TraceCount < c_MyApp::kTraceWalks) a->p_GetLevelB();
      CheckTrail(a);
      for (int k = 0; k < 4; ++k)
        EXPECT_EQ(V(a->Cell(a->m_Vars[80 + 5 * k], a->m_Vars[81 + 5 * k], c_MyApp::kCellTrail) != 0, a->m_Vars[82 + 5 * k]),
                  V(1, 1));
      bool pathfinder = type >= 5 && type <= 8;
      EXPECT_EQ(a->m_LevelKind, pathfinder ? 2 : 1);
      for (int x = 0; x <= a->m_MapW; ++x) {
        for (int y = 0; y < c_MyApp::kMapRows; ++y) {
          float cell = a->Cell(x, y, c_MyApp::kCellType), trail = a->Cell(x, y, c_MyApp::kCellTrail);
          ASSERT_EQ(V(a->Cell(x, y, c_MyApp::kCellPill), pathfinder ? cell : 0), V(cell == 0, pathfinder ? (trail ? 0 : 2) : 0));
        }
      }
    }
  }
  // The tutorial: its own seed whatever the seed base, and its trail shown; level 1 is none.
  Generate(a, 1, 0, 55555);
  CheckTrail(a);
  EXPECT_EQ(V(a->m_LevelSeed, a->m_Tutorial, a->m_ShowTrail), V(1234, 1, 1));
  Generate(a, 1, 1, 12345);
  EXPECT_EQ(V(a->m_Tutorial, a->m_LevelSeed), V(0, 3 + 12345));
}

TEST_F(LevelGeneration, HazardsAppearOnlyInTheirWorlds) {
  std::set<int> spikeWorlds, oneWayWorlds, patrolWorlds;
  for (int type : {2, 3, 6, 10}) {
    for (int level = 1; level <= 20; ++level) {
      Generate(a, type, level, type * 12345);
      for (int x = 0; x <= a->m_MapW; ++x) {
        for (int y = 0; y < c_MyApp::kMapRows; ++y) {
          int special = static_cast<int>(a->Cell(x, y, c_MyApp::kCellSpecial));
          int trail = static_cast<int>(a->Cell(x, y, c_MyApp::kCellTrail));
          if (special == 0) continue;
          // On floor; a one-way cell lets the trail through in the direction it runs.
          int entered = trail == 2 ? 2 : trail == 4 ? 3 : trail == 1 ? 4 : 5;
          EXPECT_EQ(V(a->Cell(x, y, c_MyApp::kCellType), special < 2 || special == entered), V(0, 1));
          (special == 1 ? spikeWorlds : oneWayWorlds).insert(a->m_World);
        }
      }
      for (int s = 0; s < c_MyApp::kObjects; ++s) {
        const float* o = a->m_Objs.Data() + s * 10;
        if (o[0] == 0) continue;
        patrolWorlds.insert(a->m_World);
        EXPECT_EQ(V(o[0], o[2] != a->m_Vars[2], o[7] >= 0.025f && o[7] < 0.045f), V(1, 1, 1)) << "never in the start row";
      }
      EXPECT_NE(a->Cell(a->m_Vars[1], a->m_Vars[2], c_MyApp::kCellSpecial), 1);
    }
  }
  EXPECT_EQ((std::vector<std::set<int>>{spikeWorlds, oneWayWorlds, patrolWorlds}),
            (std::vector<std::set<int>>{{2, 5, 9}, {6, 9}, {4, 5}}));
}

TEST_F(LevelGeneration, WidthsStayWithinTheirLimits) {
  // Every fourth Path A level is 16 wide; a halved width stays 16; Expanse levels start 90 wide;
  // no width passes 128.
  std::vector<double> widths;
  for (auto [type, level, seedBase] : {std::tuple{2, 4, 24690}, {5, 3, 0}, {9, 1, 0}})
    Generate(a, type, level, seedBase, 1), widths.push_back(a->m_MapW);
  widths.push_back(0);
  for (int n = 990; n <= 999; ++n) Generate(a, 12, n, 0, 1), widths.back() = std::max(widths.back(), 1.0 * a->m_MapW);
  EXPECT_EQ(widths, V(32, 32, 180, 256));
}

// The drop-in draws from where each step of the trail search leaves the generator, so the steps
// leave it where they always have: the sums of its seeds after each step were recorded when every
// walk still made every one of its draws.
TEST_F(LevelGeneration, TheTrailSearchLeavesTheGeneratorWhereItAlwaysHas) {
  const unsigned rows[][3] = {{1, 0, 750455073u}, {6, 7, 1286869307u}, {9, 55, 2893122938u}, {11, 131, 1334374666u}};
  for (const auto& row : rows) {
    Generate(a, int(row[0]), int(row[1]), int(row[0]) * 12345);
    a->p_GetLevel();  // afresh, to search again step by step
    unsigned seeds = 0;
    while (a->m_TraceCount < c_MyApp::kTraceWalks) seeds += (a->p_GetLevelB(), unsigned(bb_random_Seed));
    EXPECT_EQ(seeds, row[2]) << "type " << row[0];
  }
}

TEST_F(LevelGeneration, ALevelPlayedEndsUpAsTheLevelGeneratedWithoutPlaying) {
  Generate(a, 10, 5, 123456);
  std::vector<double> direct = Take(a);
  // The level screen runs the search five walks per frame with other draws in between.
  a->m_LoadStep = 0, a->m_Mode = 10, a->m_Lives = 3;
  a->p_GetLevel();
  for (int frame = 1; frame <= 40; ++frame) {
    EXPECT_EQ(a->m_Settling, 1) << "play waits for the layout";
    g.Update();
    EXPECT_EQ(a->m_TraceCount, 5 * frame);
  }
  EXPECT_EQ(Take(a), direct) << "whatever the random state meanwhile";
  Generate(a, 10, 5, 123457);
  EXPECT_NE(Take(a), direct) << "another seed base, another level";
}

TEST_F(LevelRules, EnteringCellsAndFillingTheObjectTable) {
  Arena(g, {"#######", "#S.x>.#", "#.<AV.#", "#H....#"});
  // x, y, direction (1 up, 2 right, 3 down, 4 left, 0 none), solid: outside the map, a wall,
  // floor, a hole, and one-way cells, open in their own direction only and only to a mover.
  const int cases[][4] = {{-1, 1, 2, 1}, {7, 1, 2, 1}, {1, 33, 3, 1}, {0, 1, 4, 1}, {2, 1, 2, 0}, {3, 1, 2, 1},
                          {4, 1, 2, 0},  {4, 1, 4, 1}, {4, 1, 3, 1},  {4, 1, 0, 0}, {2, 2, 4, 0}, {2, 2, 2, 1},
                          {3, 2, 1, 0},  {3, 2, 3, 1}, {4, 2, 3, 0},  {4, 2, 1, 1}};
  for (const auto& c : cases) EXPECT_EQ(a->p_isSolid(c[0], c[1], c[2]), c[3]) << c[0] << "," << c[1] << " " << c[2];
  // Crumbling: solid; the home never crumbles.
  for (auto [x, y] : {std::pair{5, 1}, {1, 3}, {-1, 40}}) a->p_Cave(x, y), a->p_PutTile(-x, -y, 1, 0);  // ignored off the map
  EXPECT_EQ(V(a->Cell(5, 1, c_MyApp::kCellCrumble), a->p_isSolid(5, 1, 2), a->Cell(1, 3, c_MyApp::kCellCrumble)), V(0.05f, 1, 0));
  // World 8: holes and crumbling cells let a mover in; without a direction a hole is a hole.
  a->m_World = 8;
  EXPECT_EQ(V(a->p_isSolid(3, 1, 2), a->p_isSolid(5, 1, 2), a->p_isSolid(3, 1, 0), a->p_isSolid(0, 1, 4)), V(0, 0, 1, 1));
  a->m_World = 1, a->m_Tutorial = 1, a->m_Vars[79] = 3;  // the tutorial's home stays shut until four friends follow
  int shut = a->p_isSolid(1, 3, 3);
  a->m_Vars[79] = 4;
  EXPECT_EQ(V(shut, a->p_isSolid(1, 3, 3)), V(1, 0));
  // The trail search stops at walls, crumbling and its own marks; patrollers only at walls.
  EXPECT_EQ(V(a->p_isSolid2(2, 1), a->p_isSolid2(5, 1), a->p_isSolid2(0, 0)), V(0, 1, 1));
  a->Cell(2, 1, c_MyApp::kCellPill) = 3;  // a mark of the search's own
  EXPECT_EQ(a->p_isSolid2(2, 1), 1);
  EXPECT_EQ(V(a->p_isSolid_G(3, 1, 2), a->p_isSolid_G(0, 1, 4), a->p_isSolid_G(7, 1, 2)), V(0, 1, 1));
  for (int i = 0; i < 60; ++i) a->p_AddObj(2, 2, 2);  // the table of moving objects drops what does not fit
  int used = 0;
  for (int s = 0; s < c_MyApp::kObjects; ++s) used += a->m_Objs[s * 10] == 2;
  EXPECT_EQ(used, c_MyApp::kObjects);
  a->p_GetLevelC();  // an arena has no trail: the friends wait at the start rather than be sought for ever
  EXPECT_EQ(V(a->m_Vars[80], a->m_Vars[81], a->m_Vars[95], a->m_Vars[96]), V(1, 1, 1, 1));
}

}  // namespace
