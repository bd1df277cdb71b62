// Every generated level can be played: the autopilot, following each level's trail, completes the
// tutorial and every level without patrollers among the first ten of each game type, and most of
// those with them, waiting for or stepping around patrollers and spikes.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "autopilot.h"
#include "harness.h"
#include "level_support.h"

// Levels played per game type: under the sanitizers a few, whose play takes many times longer.
#ifndef ZUDODO_TRAIL_PLAY_LEVELS
#define ZUDODO_TRAIL_PLAY_LEVELS 10
#endif

namespace {

using gametest::Game;
constexpr int kLevels = ZUDODO_TRAIL_PLAY_LEVELS;

// An arena whose trail runs down column 4 from the start to the home, crossing a patroller's row
// just as the patroller, coming from the left, passes below.
void CrossingArena(Game& g) {
  gametest::Arena(g, {"#########",
                      "####S####",
                      "####.####",
                      "#..P....#",
                      "####.####",
                      "###.H.###",
                      "#########"}, 4);
  for (int y = 2; y <= 5; ++y) g.app->Cell(4, y, c_MyApp::kCellTrail) = 3;
  for (int s = 0; s < c_MyApp::kObjects; ++s)
    if (g.app->m_Objs[s * 10] != 0) g.app->m_Objs[s * 10 + 7] = 0.04f;
}

// Where the player ends: at the home, or dead.
bool ReachesTheHome(Game& g, const std::function<void()>& steer) {
  for (int frame = 0; frame < 900 && g.app->m_Outcome == 0; ++frame) {
    steer();
    g.Update();
    if (gametest::PlayerY(g) == 5 && gametest::AtRest(g)) return true;
  }
  return false;
}

TEST(TrailPlay, TheAutopilotWaitsForAPatrollerToPassBeforeCrossingItsRow) {
  Game g;
  CrossingArena(g);
  // Walking straight down meets the patroller.
  EXPECT_FALSE(ReachesTheHome(g, [&g] { g.app->m_MoveY = 1; }));
  EXPECT_LT(g.app->m_Outcome, 0);

  CrossingArena(g);
  BBAutopilot pilot(g.app);
  EXPECT_TRUE(ReachesTheHome(g, [&pilot] { pilot.Steer(); }));
  EXPECT_EQ(g.app->m_Outcome, 0);
  EXPECT_EQ(pilot.blockedPlans(), 0);
}

TEST(TrailPlay, TheAutopilotStepsOntoSpikesOnlyWhileTheyStayDown) {
  Game g;
  gametest::Arena(g, {"########",
                      "#S^^.H.#",
                      "########"}, 2);
  for (int x = 2; x <= 5; ++x) g.app->Cell(x, 1, c_MyApp::kCellTrail) = 2;
  BBAutopilot pilot(g.app);
  bool home = false;
  for (int frame = 0; frame < 900 && g.app->m_Outcome == 0 && !home; ++frame) {
    pilot.Steer();
    g.Update();
    home = gametest::PlayerX(g) == 5 && gametest::AtRest(g);
  }
  EXPECT_TRUE(home);
  EXPECT_EQ(g.app->m_Outcome, 0);
}

TEST(TrailPlay, TheAutopilotCompletesTheTutorial) {
  Game g;
  bbBeginLevel(g.app, 1, 0, 12345);
  BBLevelRun run = bbPlayLevel(g.app, [&g] { g.Update(); });
  EXPECT_TRUE(run.completed) << "tutorial: " << run.why;
  EXPECT_EQ(g.app->m_Vars[79], 4);
}

// One game type per test, so that the types play in parallel.
class TrailPlayType : public ::testing::TestWithParam<int> {};

TEST_P(TrailPlayType, TheAutopilotCompletesTheFirstLevelsSaveAFewWithPatrollers) {
  Game g;
  c_MyApp* app = g.app;
  const int type = GetParam();
  int completed = 0, patrolLevels = 0, patrolCompleted = 0;
  for (int level = 1; level <= kLevels; ++level) {
    bbBeginLevel(app, type, level, type * 12345);
    BBLevelRun run = bbPlayLevel(app, [&g] { g.Update(); });
    if (run.patrollers > 0) {
      ++patrolLevels;
      patrolCompleted += run.completed;
    }
    if (run.patrollers == 0) {
      EXPECT_TRUE(run.completed) << "type " << type << " level " << level << " (world " << app->m_World
                                 << "): " << run.why;
    }
    completed += run.completed;
    if (run.completed) {
      EXPECT_EQ(app->m_Vars[79], 4);
      if (app->m_LevelKind == 2) {
        EXPECT_EQ(app->m_Vars[24], 0) << "every pill of the trail eaten";
      }
    }
  }
  // Patrollers can make a level very hard to pass; most are passed all the same.
  EXPECT_GE(completed * 10, kLevels * 7) << "type " << type << ": " << completed << " of " << kLevels;
  std::printf("[   INFO   ] type %d: %d of %d levels with patrollers completed\n", type, patrolCompleted,
              patrolLevels);
}

INSTANTIATE_TEST_SUITE_P(EveryGameType, TrailPlayType, ::testing::Range(1, 13));

}  // namespace
