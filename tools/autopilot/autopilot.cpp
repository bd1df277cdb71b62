// autopilot.cpp: the autopilot's plan and search, and playing levels with it.
//
// The model below repeats, for the player and the patrollers only, what one update of the level
// screen does (game/play.cpp): patrollers move and touch the player where he stood after the last
// update; a player near the middle of a cell dies on raised spikes or when boxed in; a step starts
// from the middle of a cell only, and the offset shrinks by 0.1 a cell per update. The arithmetic
// is the game's, in single precision, so the prediction holds update for update.
#include "autopilot.h"

#include <algorithm>
#include <utility>
#include <cmath>

#include "game/angles.h"
#include "game/app.h"

namespace {

constexpr int kDX[5] = {0, 0, 1, 0, -1};
constexpr int kDY[5] = {0, -1, 0, 1, 0};
// Touch distances of a patroller (design units), with a margin for the camera's rounding.
constexpr float kTouchX = 26.125f + 0.5f;
constexpr float kTouchY = 30.874998f + 0.5f;
// Simulated updates one plan may spend.
constexpr long kPlanBudget = 1500000;

int Trunc(float f) { return static_cast<int>(f); }

// v moved toward 0 by step, stopping at 0, as the level screen moves offsets.
float TowardZero(float v, float step) {
  if (v > 0) return v - step < 0 ? 0 : v - step;
  if (v < 0) return v + step > 0 ? 0 : v + step;
  return 0;
}

}  // namespace

int bbTrailNext(c_MyApp* app, int x, int y, int startX, int startY) {
  for (int d = 1; d <= 4; ++d) {
    int nx = x + kDX[d], ny = y + kDY[d];
    bool start = nx == startX && ny == startY;
    if (app->InMap(nx, ny) && !start && app->Cell(nx, ny, c_MyApp::kCellTrail) == d) return d;
  }
  return 0;
}

void BBAutopilot::LearnTrail() {
  trail_.clear();
  trailIndex_.assign(1024 * 64, -1);
  int startX = Trunc(app_->m_Vars[1]), startY = Trunc(app_->m_Vars[2]);
  int x = startX, y = startY;
  for (;;) {
    trailIndex_[CellKey(x, y)] = static_cast<int>(trail_.size());
    trail_.push_back(CellKey(x, y));
    int d = bbTrailNext(app_, x, y, startX, startY);
    if (d == 0) break;
    x += kDX[d];
    y += kDY[d];
    if (trailIndex_[CellKey(x, y)] >= 0) break;  // a loop would be a broken trail: stop there
  }
  friendAt_.assign(trail_.size(), 0);
  for (int k = 0; k < 4; ++k) {
    if (app_->m_Vars[82 + 5 * k] != 1) continue;
    int i = trailIndex_[CellKey(Trunc(app_->m_Vars[80 + 5 * k]), Trunc(app_->m_Vars[81 + 5 * k]))];
    if (i >= 0) friendAt_[static_cast<size_t>(i)] = 1;
  }
  progress_ = 0;
  plan_.clear();
  planAt_ = 0;
  plannedFrom_ = -1;
}

void BBAutopilot::Steer() {
  c_MyApp* app = app_;
  app->m_MoveX = 0;
  app->m_MoveY = 0;
  if (app->m_TraceCount < c_MyApp::kTraceWalks) {
    laidOut_ = false;
    return;
  }
  if (!laidOut_) {
    LearnTrail();
    laidOut_ = true;
  }
  if (app->m_Settling != 0 || app->m_Outcome != 0 || app->m_Paused != 0 || app->m_GameOver != 0) {
    plan_.clear();
    plannedFrom_ = -1;
    return;
  }
  int x = Trunc(app->m_Vars[1]), y = Trunc(app->m_Vars[2]);
  int here = CellKey(x, y);
  if (trailIndex_[here] > progress_) progress_ = trailIndex_[here];
  bool atRest = app->m_Vars[3] == 0 && app->m_Vars[4] == 0;
  if (atRest && (here != plannedFrom_ || planAt_ >= plan_.size())) Plan();
  int dir = planAt_ < plan_.size() ? plan_[planAt_++] : 0;
  app->m_MoveX = static_cast<float>(kDX[dir]);
  app->m_MoveY = static_cast<float>(kDY[dir]);
}

void BBAutopilot::PredictPatrollers() {
  c_MyApp* app = app_;
  std::vector<float> objs;  // the patrollers' rows of m_Objs, stepped ahead by the game's own rule
  for (int s = 0; s < c_MyApp::kObjects; ++s) {
    const float* o = app->m_Objs.Data() + s * 10;
    if (o[0] != 0) objs.insert(objs.end(), o, o + 10);
  }
  patrollerCount_ = static_cast<int>(objs.size() / 10);
  patrollers_.assign(static_cast<size_t>(kHorizonUpdates + 1) * patrollerCount_ * 2, 0);
  for (int k = 0; k <= kHorizonUpdates; ++k) {
    for (int i = 0; i < patrollerCount_; ++i) {
      float* o = objs.data() + i * 10;
      app->StepPatroller(o, true);
      float* at = patrollers_.data() + (static_cast<size_t>(k) * patrollerCount_ + i) * 2;
      at[0] = o[1] + o[3];
      at[1] = o[2] + o[4];
    }
  }
}

bool BBAutopilot::Enterable(int x, int y, int dir) const {
  c_MyApp* app = app_;
  if (!app->InMap(x, y) || inPath_[static_cast<size_t>(CellKey(x, y))]) return false;
  if (app->Cell(x, y, c_MyApp::kCellType) != 0 || app->Cell(x, y, c_MyApp::kCellCrumble) != 0) return false;
  int special = Trunc(app->Cell(x, y, c_MyApp::kCellSpecial));
  return !((special == 2 && dir != 2) || (special == 3 && dir != 4) || (special == 4 && dir != 1) ||
           (special == 5 && dir != 3));
}

bool BBAutopilot::Boxed(int x, int y) const {
  // The home's dead end completes the level in the frame it would box the player in.
  if (!trail_.empty() && CellKey(x, y) == trail_.back()) return false;
  for (int d = 1; d <= 4; ++d) {
    int nx = x + kDX[d], ny = y + kDY[d];
    bool left = app_->InMap(nx, ny) && inPath_[static_cast<size_t>(CellKey(nx, ny))] && app_->m_World != 8;
    if (!left && app_->p_isSolid(nx, ny, d) == 0) return false;
  }
  return true;
}

bool BBAutopilot::SpikeUp(int x, int y, int k) const {
  if (app_->Cell(x, y, c_MyApp::kCellSpecial) != 1 || app_->Cell(x, y, c_MyApp::kCellType) != 0) return false;
  int frame = (frame0_ + k) % 36000;
  float angle = static_cast<float>(15 * x + 11 * y + 4 * frame);
  return Trunc(6.0f * bbSinDeg(angle)) >= 3;
}

int BBAutopilot::ProgressInto(int x, int y, int p) const {
  int i = trailIndex_[static_cast<size_t>(CellKey(x, y))];
  bool pathfinder = app_->m_LevelKind == 2;
  if (i < 0) return pathfinder ? -1 : p;
  if (i <= p) return -1;
  if (i == p + 1) return i;
  if (pathfinder) return -1;
  for (int j = p + 1; j < i; ++j)
    if (friendAt_[static_cast<size_t>(j)]) return -1;
  return i;
}

bool BBAutopilot::Simulate(Body& b, int dir, int k) const {
  float px = (static_cast<float>(b.x) + b.ox) * c_MyApp::kCellSize;
  float py = (static_cast<float>(b.y) + b.oy) * c_MyApp::kCellSize;
  const float* at = patrollers_.data() + static_cast<size_t>(k) * patrollerCount_ * 2;
  for (int i = 0; i < patrollerCount_; ++i) {
    if (std::fabs(at[2 * i] * c_MyApp::kCellSize - px) < kTouchX &&
        std::fabs(at[2 * i + 1] * c_MyApp::kCellSize - py) < kTouchY)
      return false;
  }
  if (std::fabs(b.ox) < 0.3f && std::fabs(b.oy) < 0.3f) {
    if (SpikeUp(b.x, b.y, k) || Boxed(b.x, b.y)) return false;
  }
  if (b.ox == 0 && b.oy == 0 && dir > 0 && Enterable(b.x + kDX[dir], b.y + kDY[dir], dir)) {
    b.x += kDX[dir];
    b.y += kDY[dir];
    b.ox = static_cast<float>(-kDX[dir]);
    b.oy = static_cast<float>(-kDY[dir]);
  }
  b.ox = TowardZero(b.ox, 0.1f);
  b.oy = TowardZero(b.oy, 0.1f);
  return true;
}

bool BBAutopilot::Search(Body b, int k, int p) {
  if (p >= goal_) return true;
  // Without a way through, the best path is one that ends on the trail, lives longest and gets
  // farthest.
  bool onTrail = trailIndex_[static_cast<size_t>(CellKey(b.x, b.y))] >= 0;
  if (onTrail > bestOnTrail_ || (onTrail == bestOnTrail_ && (k > bestTime_ || (k == bestTime_ && p > bestProgress_)))) {
    bestOnTrail_ = onTrail;
    bestProgress_ = p;
    bestTime_ = k;
    best_ = path_;
  }
  if (budget_ <= 0 || k >= kHorizonUpdates) return false;
  uint64_t key = static_cast<uint64_t>(CellKey(b.x, b.y)) | static_cast<uint64_t>(k) << 20 |
                 static_cast<uint64_t>(p) << 32;
  if (failed_.count(key)) return false;

  // Moves in order of preference: the trail's next cell, a wait, a cell farther along the trail,
  // a cell beside it. Waiting is impossible in world 3, where the player never stops.
  struct Option {
    int rank, dir, progress;
  };
  Option options[5];
  int count = 0;
  for (int d = 1; d <= 4; ++d) {
    int nx = b.x + kDX[d], ny = b.y + kDY[d];
    if (!Enterable(nx, ny, d)) continue;
    int np = ProgressInto(nx, ny, p);
    if (np < 0) continue;
    options[count++] = {np == p + 1 ? 0 : np > p ? 2 : 3, d, np};
  }
  if (app_->m_World != 3) options[count++] = {1, 0, p};
  for (int i = 1; i < count; ++i)
    for (int j = i; j > 0 && options[j - 1].rank > options[j].rank; --j) std::swap(options[j - 1], options[j]);

  for (int i = 0; i < count; ++i) {
    const Option& option = options[i];
    size_t mark = path_.size();
    Body next = b;
    int kk = k;
    bool alive = Simulate(next, option.dir, kk++);
    path_.push_back(option.dir);
    while (alive && (next.ox != 0 || next.oy != 0) && kk < kHorizonUpdates) {
      alive = Simulate(next, 0, kk++);
      path_.push_back(0);
    }
    budget_ -= kk - k;
    if (alive) {
      size_t cell = static_cast<size_t>(CellKey(next.x, next.y));
      bool moved = option.dir != 0;
      if (moved) inPath_[cell] = 1;
      if (Search(next, kk, option.progress)) return true;
      if (moved) inPath_[cell] = 0;
    }
    path_.resize(mark);
  }
  failed_.insert(key);
  return false;
}

void BBAutopilot::Plan() {
  ++plans_;
  c_MyApp* app = app_;
  int x = Trunc(app->m_Vars[1]), y = Trunc(app->m_Vars[2]);
  frame0_ = app->m_Frame;
  PredictPatrollers();
  inPath_.assign(1024 * 64, 0);
  inPath_[static_cast<size_t>(CellKey(x, y))] = 1;
  path_.clear();
  best_.clear();
  bestProgress_ = bestTime_ = -1;
  bestOnTrail_ = false;
  failed_.clear();
  budget_ = kPlanBudget;
  int last = static_cast<int>(trail_.size()) - 1;
  goal_ = std::min(progress_ + kHorizonCells, last);
  Body body{x, y, 0, 0};
  if (Search(body, 0, progress_)) {
    plan_ = path_;
  } else {
    plan_ = best_;
    ++blockedPlans_;
  }
  planAt_ = 0;
  plannedFrom_ = CellKey(x, y);
}

void bbBeginLevel(c_MyApp* app, int type, int level, int seedBase) {
  app->m_LoadStep = 0;
  app->m_Mode = 10;
  app->m_Paused = 0;
  app->m_GameOver = 0;
  app->m_Lives = 3;
  app->m_Score = 0;
  app->m_GameType = type;
  app->m_Level = level;
  app->m_SeedBase = seedBase;
  app->m_ShowTrail = 0;
  app->p_ResetPlayers();
  app->p_GetLevel();
}

BBLevelRun bbPlayLevel(c_MyApp* app, const BBUpdate& update, int maxFrames) {
  BBAutopilot pilot(app);
  BBLevelRun run;
  bool counted = false;
  auto where = [app] {
    return std::to_string(Trunc(app->m_Vars[1])) + "," + std::to_string(Trunc(app->m_Vars[2]));
  };
  for (run.frames = 0; run.frames < maxFrames; ++run.frames) {
    if (!counted && app->m_TraceCount >= c_MyApp::kTraceWalks) {
      counted = true;
      for (int s = 0; s < c_MyApp::kObjects; ++s) run.patrollers += app->m_Objs[s * 10] != 0 ? 1 : 0;
    }
    if (app->m_Outcome > 0) {
      run.completed = true;
      return run;
    }
    if (app->m_Outcome < 0) {
      run.died = true;
      run.why = "died at " + where();
      return run;
    }
    pilot.Steer();
    update();
  }
  run.why = "still playing at " + where();
  return run;
}

BBTypeSurvey bbSurveyType(c_MyApp* app, const BBUpdate& update, int type, int levels) {
  BBTypeSurvey survey;
  survey.type = type;
  survey.levels = levels;
  for (int level = 1; level <= levels; ++level) {
    bbBeginLevel(app, type, level, type * 12345);
    BBLevelRun run = bbPlayLevel(app, update);
    survey.completed += run.completed ? 1 : 0;
    if (run.patrollers > 0) {
      ++survey.patrolLevels;
      survey.patrolCompleted += run.completed ? 1 : 0;
    }
    if (!run.completed) survey.failures.push_back("level " + std::to_string(level) + ": " + run.why);
  }
  return survey;
}
