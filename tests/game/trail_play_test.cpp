// Every generated level can be played: the autopilot, following each level's trail, completes the
// tutorial and every level without patrollers among the first ten of each game type, and most of
// those with them, waiting for or stepping around patrollers and spikes.
#include <cstdio>
#include <functional>

#include "autopilot.h"
#include "game_test.h"

namespace {

// Whether the player reaches cell (x, y) alive, steered by `steer` before each update.
bool Reaches(Game& g, int x, int y, const std::function<void()>& steer) {
  for (int frame = 0; frame < 900 && g.app->m_Outcome == 0; ++frame) {
    steer();
    g.Update();
    if (PlayerX(g) == x && PlayerY(g) == y && AtRest(g)) return true;
  }
  return false;
}

using TrailPlay = GameTest;

TEST_F(TrailPlay, TheAutopilotWaitsForAPatrollerToPassAndStepsOntoSpikesOnlyWhileTheyStayDown) {
  // The trail runs down column 4, crossing a patroller's row just as the patroller passes below.
  for (bool pilot : {false, true}) {
    Arena(g, {"#########", "####S####", "####.####", "#..P....#", "####.####", "###.H.###"}, 4);
    for (int y = 2; y <= 5; ++y) a->Cell(4, y, c_MyApp::kCellTrail) = 3;
    a->m_Objs[50 * 10 + 7] = 0.04f;
    BBAutopilot autopilot(a);
    EXPECT_EQ(Reaches(g, 4, 5, [&] { pilot ? autopilot.Steer() : void(a->m_MoveY = 1); }), pilot);
    EXPECT_EQ(V(a->m_Outcome < 0, pilot ? autopilot.blockedPlans() : 0), V(!pilot, 0)) << "walking straight down dies";
  }
  Arena(g, {"########", "#S^^.H.#"}, 2);
  for (int x = 2; x <= 5; ++x) a->Cell(x, 1, c_MyApp::kCellTrail) = 2;
  BBAutopilot autopilot(a);
  EXPECT_TRUE(Reaches(g, 5, 1, [&] { autopilot.Steer(); }));
}

// One game type per test, so that the types play in parallel.
class TrailPlayType : public GameTest, public ::testing::WithParamInterface<int> {};

TEST_P(TrailPlayType, TheAutopilotCompletesTheFirstLevelsSaveAFewWithPatrollers) {
  const int type = GetParam(), levels = ZUDODO_TRAIL_PLAY_LEVELS;
  int completed = 0, patrolLevels = 0, patrolCompleted = 0;
  for (int level = type == 1 ? 0 : 1; level <= levels; ++level) {  // level 0: the tutorial
    bbBeginLevel(a, type, level, type * 12345);
    BBLevelRun run = bbPlayLevel(a, [this] { g.Update(); });
    patrolLevels += run.patrollers > 0;
    patrolCompleted += run.patrollers > 0 && run.completed;
    completed += run.completed;
    if (run.patrollers == 0) { EXPECT_TRUE(run.completed) << "level " << level << " (world " << a->m_World << "): " << run.why; }
    // Home with the four friends, and in Pathfinder every pill of the trail eaten.
    if (run.completed) { EXPECT_EQ(V(a->m_Vars[79], a->m_LevelKind == 2 ? a->m_Vars[24] : 0), V(4, 0)); }
  }
  // Patrollers can make a level very hard to pass; most are passed all the same.
  EXPECT_GE(completed * 10, levels * 7) << completed << " of " << levels;
  std::printf("[   INFO   ] type %d: %d of %d levels with patrollers completed\n", type, patrolCompleted, patrolLevels);
}

INSTANTIATE_TEST_SUITE_P(EveryGameType, TrailPlayType, ::testing::Range(1, 13));

}  // namespace
