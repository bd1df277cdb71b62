// Every generated level can be played: following its trail from the start collects the four
// friends and reaches the home. Plays the tutorial and the first ten levels of every game type.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "harness.h"
#include "level_support.h"

namespace {

using gametest::Game;

// Puts level `level` of game type `type` in play with the fixed seed base, as a new game would.
void Begin(Game& g, int type, int level) {
  c_MyApp* app = g.app;
  app->m_LoadStep = 0;
  app->m_Mode = 10;
  app->m_Paused = 0;
  app->m_GameOver = 0;
  app->m_Lives = 3;
  app->m_Score = 0;
  app->m_GameType = type;
  app->m_Level = level;
  app->m_SeedBase = type * 12345;
  app->m_ShowTrail = 0;
  app->p_ResetPlayers();
  app->p_GetLevel();
}

bool HasPatrollers(c_MyApp* app) {
  for (int s = 0; s < c_MyApp::kObjects; ++s)
    if (app->m_Objs[s * 10] != 0) return true;
  return false;
}

TEST(TrailPlay, FollowingTheTrailCompletesTheTutorial) {
  Game g;
  c_MyApp* app = g.app;
  Begin(g, 1, 0);
  gametest::TrailRun tutorial = gametest::FollowTrail(g);
  EXPECT_TRUE(tutorial.completed) << "tutorial: " << tutorial.why;
  EXPECT_EQ(app->m_Vars[79], 4);
}

// One game type per test, so that the types play in parallel.
class TrailPlayType : public ::testing::TestWithParam<int> {};

TEST_P(TrailPlayType, FollowingTheTrailCompletesEveryLevelWithoutPatrollers) {
  Game g;
  c_MyApp* app = g.app;
  const int type = GetParam();
  int patrolLevels = 0, patrolCompleted = 0;
  for (int level = 1; level <= 10; ++level) {
    Begin(g, type, level);
    // Patrollers exist once the level is laid out.
    while (app->m_TraceCount < c_MyApp::kTraceWalks) g.Update();
    bool patrolled = HasPatrollers(app);
    gametest::TrailRun run = gametest::FollowTrail(g);
    if (patrolled) {
      ++patrolLevels;
      patrolCompleted += run.completed;
      continue;
    }
    EXPECT_TRUE(run.completed) << "type " << type << " level " << level << " (world " << app->m_World
                               << "): " << run.why;
    if (run.completed) {
      EXPECT_EQ(app->m_Vars[79], 4);
      if (app->m_LevelKind == 2) {
        EXPECT_EQ(app->m_Vars[24], 0) << "every pill of the trail eaten";
      }
    }
  }
  std::printf("[   INFO   ] type %d: %d of %d levels with patrollers completed by following the trail\n",
              type, patrolCompleted, patrolLevels);
  RecordProperty("patrol_levels", patrolLevels);
  RecordProperty("patrol_levels_completed", patrolCompleted);
}

INSTANTIATE_TEST_SUITE_P(EveryGameType, TrailPlayType, ::testing::Range(1, 13));

}  // namespace
