// autopilot.h: a player for the game's levels, used by the tests and the benchmarks.
//
// BBAutopilot steers the player of the level in play through the control axes the level screen
// reads (m_MoveX, m_MoveY), one update at a time, as held keys would: it follows the level's
// trail, which passes every friend and ends at the home, and before every cell it plans ahead.
// Patrollers and spikes move on a fixed clock, so the plan predicts them update by update with
// the level screen's own rules and searches, over the coming cells and the coming updates, for a
// way on that touches no patroller and stands on no raised spike: waiting where the player stands,
// or stepping around a danger over floor beside the trail when no friend is passed by.
//
// Depends on: the game's application object (its map, game values and moving objects, read only).
// Must not touch: anything of the game but the two control axes; the window, drawing or sound.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

class c_MyApp;

// The direction (1 up, 2 right, 3 down, 4 left) of the trail's next cell after (x, y), 0 at the
// end of the trail. The trail records the direction each of its cells was entered from; the start
// cell carries the mark 1 without being entered, so it is never a next cell.
int bbTrailNext(c_MyApp* app, int x, int y, int startX, int startY);

class BBAutopilot {
 public:
  explicit BBAutopilot(c_MyApp* app) : app_(app) {}

  // Sets the control axes for the coming update of the level screen. Call it before every update
  // while a level is in play; it keeps still while the level drops in, is laid out or ends.
  void Steer();

  // Counters since construction: plans made, and plans that found no way through the horizon
  // (the player then goes as far as the best failed plan reached).
  int plans() const { return plans_; }
  int blockedPlans() const { return blockedPlans_; }

  // How far a plan looks: cells of trail ahead, and updates.
  static constexpr int kHorizonCells = 24;
  static constexpr int kHorizonUpdates = 1500;

 private:
  // The player as the level screen keeps him: his cell and his offset from it (cells).
  struct Body {
    int x, y;
    float ox, oy;
  };

  // A new level: the trail from the start, cell by cell, and the index of each trail cell.
  void LearnTrail();
  // Plans the coming updates from where the player rests.
  void Plan();
  // Depth-first search over rests: from body b before update k, with trail progress p.
  bool Search(Body b, int k, int p);
  // One update of the level screen for the player (request dir, 0 none): false if he dies in it.
  bool Simulate(Body& b, int dir, int k) const;
  // The patrollers' positions after each coming update, from their state now.
  void PredictPatrollers();
  // Whether the player may step into (x, y) moving in dir, given the cells the plan has left.
  bool Enterable(int x, int y, int dir) const;
  bool Boxed(int x, int y) const;
  bool SpikeUp(int x, int y, int k) const;
  // The progress after entering (x, y) from progress p, or -1 when the step is not allowed:
  // trail cells are taken in order, and a cell beyond the next one only when no waiting friend
  // (and, in the Pathfinder types, no pill) is passed by.
  int ProgressInto(int x, int y, int p) const;
  int CellKey(int x, int y) const { return x * 64 + y; }

  c_MyApp* app_;
  bool laidOut_ = false;
  std::vector<int> trail_;        // cell keys from the start to the home
  std::vector<int> trailIndex_;   // per cell key: index in trail_, or -1
  std::vector<uint8_t> friendAt_; // per trail index: a waiting friend lies there
  int progress_ = 0;              // index of the farthest trail cell reached

  // The plan: the request of each coming update (0 none), and where it was made.
  std::vector<int> plan_;
  size_t planAt_ = 0;
  int plannedFrom_ = -1;

  // Search state.
  std::vector<float> patrollers_;   // per update: x, y of each patroller (cells)
  int patrollerCount_ = 0;
  std::vector<uint8_t> inPath_;     // per cell key: the plan's path has left or stands on it
  std::vector<int> path_;           // requests of the path being searched
  std::vector<int> best_;           // requests of the best path found
  int bestProgress_ = -1, bestTime_ = -1;
  bool bestOnTrail_ = false;
  int goal_ = 0;
  int frame0_ = 0;
  long budget_ = 0;
  std::unordered_set<uint64_t> failed_;
  int plans_ = 0, blockedPlans_ = 0;
};

// The end of a level played by the autopilot.
struct BBLevelRun {
  bool completed = false;
  bool died = false;
  int frames = 0;
  int patrollers = 0;  // moving objects of the laid-out level
  std::string why;
};

// One update of the game, as the caller's host runs it.
using BBUpdate = std::function<void()>;

// Puts level `level` of game type `type` in play as a new game of that type starts it, with the
// seed base seedBase (the fixed paths use type x 12345).
void bbBeginLevel(c_MyApp* app, int type, int level, int seedBase);

// Plays the level in play with the autopilot until it is complete, lost, or maxFrames updates
// have run. Each update is made by `update`.
BBLevelRun bbPlayLevel(c_MyApp* app, const BBUpdate& update, int maxFrames = 30000);

// Per game type (1-12), how many of levels 1 to `levels` the autopilot completes, each level
// begun afresh with the fixed seed base type x 12345.
struct BBTypeSurvey {
  int type = 0;
  int levels = 0, completed = 0;
  int patrolLevels = 0, patrolCompleted = 0;  // levels with patrollers among them
  std::vector<std::string> failures;          // "level N: why"
};
BBTypeSurvey bbSurveyType(c_MyApp* app, const BBUpdate& update, int type, int levels);
