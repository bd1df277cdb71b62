// Every generated level can be played: the autopilot, following each level's trail, completes the
// tutorial and every level without patrollers among the first ten of each game type, and most of
// those with them, waiting for or stepping around patrollers and spikes.
#include <gtest/gtest.h>

#include <cstdio>

#include "autopilot.h"
#include "harness.h"

namespace {

using gametest::Game;

TEST(TrailPlay, TheAutopilotCompletesTheTutorial) {
  Game g;
  bbBeginLevel(g.app, 1, 0, 12345);
  BBLevelRun run = bbPlayLevel(g.app, [&g] { g.Update(); });
  EXPECT_TRUE(run.completed) << "tutorial: " << run.why;
  EXPECT_EQ(g.app->m_Vars[79], 4);
}

// One game type per test, so that the types play in parallel.
class TrailPlayType : public ::testing::TestWithParam<int> {};

TEST_P(TrailPlayType, TheAutopilotCompletesTheFirstTenLevelsSaveAFewWithPatrollers) {
  Game g;
  c_MyApp* app = g.app;
  const int type = GetParam();
  int completed = 0, patrolLevels = 0, patrolCompleted = 0;
  for (int level = 1; level <= 10; ++level) {
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
  EXPECT_GE(completed, 7) << "type " << type;
  std::printf("[   INFO   ] type %d: %d of %d levels with patrollers completed\n", type, patrolCompleted,
              patrolLevels);
}

INSTANTIATE_TEST_SUITE_P(EveryGameType, TrailPlayType, ::testing::Range(1, 13));

}  // namespace
