// main.cpp: garvolin-autopilot [LEVELS [TYPE ...]] plays levels 1 to LEVELS (10 by default) of
// every game type (or of the types named) headless with the autopilot, and prints per type how
// many it completes, then the share of all levels as "autopilot_completion_rate: VALUE".
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "autopilot.h"
#include "harness.h"

namespace {

const char* const kGroups[3] = {"Classic", "Pathfinder", "Expanse"};
const char* const kKinds[4] = {"Quest", "Path A", "Path B", "Random Path"};

int Usage() {
  std::fprintf(stderr, "usage: garvolin-autopilot [LEVELS [TYPE ...]]\n"
                       "  LEVELS  levels 1 to LEVELS of each type (default 10)\n"
                       "  TYPE    game types 1-12 to play (default all)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int levels = 10;
  std::vector<int> types;
  if (argc >= 2) {
    levels = std::atoi(argv[1]);
    if (levels < 1 || levels > 999) return Usage();
  }
  for (int i = 2; i < argc; ++i) {
    int type = std::atoi(argv[i]);
    if (type < 1 || type > 12) return Usage();
    types.push_back(type);
  }
  if (types.empty())
    for (int type = 1; type <= 12; ++type) types.push_back(type);

  gametest::Game game;
  game.FinishLoading();
  int total = 0, completed = 0;
  for (int type : types) {
    BBTypeSurvey s = bbSurveyType(game.app, [&game] { game.Update(); }, type, levels);
    std::printf("type %2d %-10s %-11s %3d of %3d completed; with patrollers %d of %d\n", type,
                kGroups[(type - 1) / 4], kKinds[(type - 1) % 4], s.completed, s.levels, s.patrolCompleted,
                s.patrolLevels);
    for (const std::string& failure : s.failures) std::printf("    %s\n", failure.c_str());
    std::fflush(stdout);
    total += s.levels;
    completed += s.completed;
  }
  std::printf("autopilot_completion_rate: %.4g\n", static_cast<double>(completed) / total);
  return 0;
}
