// levels.cpp: the level map and its generation from a seed, and the rules that say whether a
// cell can be entered.
//
// A level is made in three stages: p_GetLevel digs a left-right mirrored maze with five wandering
// diggers; p_GetLevelB runs random walks from the start cell, five per frame, and keeps the
// longest as the trail with the home at its end; p_GetLevelC lays the pills, the four friends and
// the world's hazards. Every random draw is made in a fixed order from the shared generator,
// reseeded from the level seed, so a game type, a level and a seed base always give the same
// level. The draws are single-precision floats and the arithmetic on them stays in float.
#include "game/app.h"

#include <cmath>
#include <cstdlib>

namespace {

int Trunc(float f) { return static_cast<int>(f); }
float Rnd() { return bb_random_Rnd(); }

// The generator's seed for a level seed (32-bit wrap-around).
int MixSeed(int seed) {
  return static_cast<int>(static_cast<unsigned>(seed) * 1948736821u - 873057359u);
}

bool IsQuest(int type) { return type == 1 || type == 5 || type == 9; }

// The shared generator's seed after n more draws, reached in log2(n) steps: a step multiplies by
// a and adds c, so n steps multiply by a^n and add c (a^(n-1) + ... + 1).
int SkipDraws(int seed, unsigned n) {
  unsigned mul = 1, add = 0, stepMul = 1664525u, stepAdd = 1013904223u;
  for (; n > 0; n >>= 1) {
    if (n & 1) {
      mul *= stepMul;
      add = add * stepMul + stepAdd;
    }
    stepAdd *= stepMul + 1;
    stepMul *= stepMul;
  }
  return static_cast<int>(mul * static_cast<unsigned>(seed) + add);
}

// Steps of the four directions, indexed 1 up, 2 right, 3 down, 4 left.
constexpr int kDX[5] = {0, 0, 1, 0, -1};
constexpr int kDY[5] = {0, -1, 0, 1, 0};

// Wall tile frame + 1 by the mask of open sides (1 up, 2 right, 4 down, 8 left).
constexpr int kWallFrame[16] = {1, 15, 10, 14, 7, 3, 6, 2, 12, 16, 9, 13, 8, 4, 5, 11};

// Scratch slots of m_Vars while the maze is dug.
constexpr int kDiggers = 5;
constexpr int kDiggerRow = 0, kDiggerHalf = 10, kDiggerHalfTimer = 20;
constexpr int kRangeLow = 50, kRangeHigh = 60;
enum Timer { kBridge, kMove, kSpread, kJog };

// The maze's half width for a game type and level; the draw is made in every case.
int HalfWidth(int type, int level) {
  float r = Rnd();
  int w;
  if (type == 1) {
    w = level % 5 == 0 ? 16 : Trunc(r * static_cast<float>(level / 10) + 16.0f);
  } else if (type == 3 || type == 4) {
    w = level % 3 == 0 ? 16 : Trunc(r * static_cast<float>(level) + 16.0f);
  } else if (type >= 5 && type <= 12) {
    int d = level / (5 - (type - 1) % 4);
    if (type <= 8) {
      w = Trunc(r * static_cast<float>(d) + 16.0f);
      if (level % 3 == 0) w /= 2;
    } else {
      w = Trunc(r * static_cast<float>(d) + 90.0f);
    }
  } else {
    w = level % 4 == 0 ? 16 : Trunc(r * static_cast<float>(level / 3) + 16.0f);
  }
  return w < 16 ? 16 : w > 128 ? 128 : w;
}

}  // namespace

int c_MyApp::p_PutTile(int x, int y, float value, int slot) {
  if (x < 0 || x >= 1024 || y < 0 || y >= 50) return 0;
  Cell(x, y, slot) = value;
  return 0;
}

int c_MyApp::p_Dig(int x, int y1, int y2) {
  if (y2 == -1) y2 = y1;
  int low = y1 < y2 ? y1 : y2;
  int high = y1 < y2 ? y2 : y1;
  if (low < 1) low = 1;
  if (high > 31) high = 31;
  for (int y = low; y <= high; ++y) {
    p_PutTile(x, y, 0, kCellType);
    p_PutTile(2 * m_MapW - x, y, 0, kCellType);
  }
  return 0;
}

int c_MyApp::p_DigW(int x, int y, int r) { return p_Dig(x, y - r, y + r); }

int c_MyApp::p_Cave(int x, int y) {
  if (!InMap(x, y)) return 0;
  bool home = x == Trunc(m_Vars[98]) && y == Trunc(m_Vars[99]);
  Cell(x, y, kCellCrumble) = home ? 0.0f : 0.05f;
  return 0;
}

int c_MyApp::p_AddObj(int x, int y, int type) {
  int slot = kObjects - 1;
  while (slot >= 0 && m_Objs[slot * 10] != 0) --slot;
  if (slot < 0) return 0;
  float* o = m_Objs.Data() + slot * 10;
  for (int i = 0; i < 10; ++i) o[i] = 0;
  o[0] = static_cast<float>(type);
  o[1] = static_cast<float>(x);
  o[2] = static_cast<float>(y);
  o[5] = type == 1 ? 2.0f : type == 2 ? 3.0f : type == 3 ? 4.0f : type == 4 ? 1.0f : 0.0f;
  o[8] = 0;
  o[7] = 0.025f + Rnd() * 0.02f;
  return 0;
}

int c_MyApp::p_isSolid(int x, int y, int dir) {
  if (!InMap(x, y)) return 1;
  float type = Cell(x, y, kCellType);
  float crumble = Cell(x, y, kCellCrumble);
  int r = (type == 1 || type == 2) ? 1 : 0;
  if (crumble != 0) r = 1;
  if (dir > 0) {
    if ((type == 2 || crumble != 0) && m_World == 8) r = 0;
    int special = Trunc(Cell(x, y, kCellSpecial));
    if ((special == 2 && dir != 2) || (special == 3 && dir != 4) || (special == 4 && dir != 1) ||
        (special == 5 && dir != 3))
      r = 1;
  }
  if (m_Tutorial == 1 && m_Vars[79] < 4 && x == Trunc(m_Vars[98]) && y == Trunc(m_Vars[99])) r = 1;
  return r;
}

int c_MyApp::p_isSolid2(int x, int y) {
  if (!InMap(x, y)) return 1;
  if (Cell(x, y, kCellType) == 1 || Cell(x, y, kCellCrumble) != 0 || Cell(x, y, kCellPill) != 0) return 1;
  return 0;
}

int c_MyApp::p_isSolid_G(int x, int y, int /*dir*/) {
  if (!InMap(x, y)) return 1;
  return Cell(x, y, kCellType) == 1 ? 1 : 0;
}

int c_MyApp::p_GetLevel() {
  // Level flags.
  m_Outcome = 0;
  m_Settling = 1;
  m_TuneStarted = 0;
  m_Tutorial = 0;
  m_BannerY = bb_GW_jscrh / 2;
  m_BannerV = 0;
  m_LevelSeed = m_Level * 3 + m_SeedBase;
  if (m_GameType == 1 && m_Level == 0) {
    m_LevelSeed = 1234;
    m_Tutorial = 1;
    m_ShowTrail = 1;
  }
  bb_random_Seed = MixSeed(m_LevelSeed);
  m_LevelKind = (m_GameType >= 5 && m_GameType <= 8) ? 2 : 1;

  // World, two levels per world (five in the Quest types, a random one in the random paths).
  int world = ((m_Level - 1) / 2) % 9 + 1;
  if (m_GameType == 4 || m_GameType == 8 || m_GameType == 12) world = Trunc(Rnd() * 8.9f + 1.0f);
  if (IsQuest(m_GameType)) world = (m_Level / 5) % 9 + 1;
  if (world == 3) {
    world = 7;
  } else if (world == 7) {
    world = 3;
  }
  m_World = world;
  // Without a graphics device (the level inspector) there is nothing to draw the walls with.
  if (m_World != m_Tileset && bb_graphics_device) {
    p_LoadImg(4, String("world-") + p_rstr(m_World, 2, String("0")), 64, 64, 16, 1);
    m_Tileset = m_World;
  }

  int w = HalfWidth(m_GameType, m_Level);
  m_MapW = w;
  for (int x = 0; x <= 2 * w; ++x) {
    for (int y = 0; y < kMapRows; ++y) {
      float* cell = &Cell(x, y, 0);
      for (int s = 0; s < 10; ++s) cell[s] = 0;
      cell[kCellType] = 1;
    }
  }
  // Moving objects of the previous level must not roam the new one while it drops in.
  for (int i = 0; i < kObjects * 10; ++i) m_Objs[i] = 0;

  // The diggers.
  Rnd();
  float* row = m_Vars.Data() + kDiggerRow;
  float* half = m_Vars.Data() + kDiggerHalf;
  float* halfTimer = m_Vars.Data() + kDiggerHalfTimer;
  for (int i = 0; i < kDiggers; ++i) {
    row[i] = 12.0f + Rnd() * 8.9f;
    half[i] = 0;
    halfTimer[i] = 0;
  }
  const float ranges[4][2] = {{4, 8}, {2, 5}, {15, 30}, {2, 5}};
  int timer[4];
  for (int t = 0; t < 4; ++t) {
    m_Vars[kRangeLow + t] = ranges[t][0];
    m_Vars[kRangeHigh + t] = ranges[t][1];
  }
  auto draw = [&](int t) {
    float low = m_Vars[kRangeLow + t];
    return Trunc(Rnd() * (m_Vars[kRangeHigh + t] - low) + low);
  };
  for (int t = 0; t < 4; ++t) timer[t] = draw(t);
  int k = 0;

  int lowest = Trunc(row[0]), highest = Trunc(row[0]);
  for (int i = 1; i < kDiggers; ++i) {
    if (Trunc(row[i]) < lowest) lowest = Trunc(row[i]);
    if (Trunc(row[i]) > highest) highest = Trunc(row[i]);
  }
  p_Dig(1, lowest, highest);

  for (int x = 1; x <= w; ++x) {
    for (int i = 0; i < kDiggers; ++i) {
      p_DigW(x, Trunc(row[i]), Trunc(half[i]));
      halfTimer[i] -= 1;
      if (halfTimer[i] < 1) half[i] = 0;
    }
    bool inside = x < w - 2;
    if (inside) {
      if (--timer[kMove] < 1) {
        // A new row two or more rows clear of every digger, taken by the last one within four.
        int v, mover;
        for (;;) {
          v = Trunc(Rnd() * 30.9f + 1.0f);
          bool clear = true;
          mover = -1;
          for (int i = 0; i < kDiggers; ++i) {
            float distance = std::fabs(static_cast<float>(v) - row[i]);
            if (distance < 2) clear = false;
            if (distance <= 4) mover = i;
          }
          if (clear && mover >= 0) break;
        }
        timer[kMove] = draw(kMove);
        float old = row[mover];
        row[mover] = static_cast<float>(v);
        p_Dig(x, v, Trunc(old));
      }
    } else {
      for (int t = 0; t < 4; ++t) timer[t] = 3;
    }

    if (--timer[kJog] < 1 && inside) {
      k = (k + 1) % kDiggers;
      int v = Trunc(Rnd() * 12.0f + row[k] - 6.0f);
      for (int pass = 0; pass < 4; ++pass) {
        for (int j = 0; j < kDiggers; ++j) {
          if (j != k && std::fabs(row[j] - static_cast<float>(v)) <= 2)
            v = Trunc(Rnd() * 4.9f - 2.0f + static_cast<float>(v));
        }
      }
      if (v < 1) v = 1;
      if (v > 31) v = 31;
      p_Dig(x, Trunc(row[k]), v);
      row[k] = static_cast<float>(v);
      timer[kJog] = draw(kJog);
    }

    if (--timer[kSpread] < 1 && inside) {
      timer[kSpread] = draw(kSpread);
      int j;
      do {
        j = Trunc(Rnd() * 5.0f);
      } while (j > 4);
      half[j] = Rnd() * 1.9f;
      halfTimer[j] = Rnd() * 4.0f + 2.0f;
    }

    Rnd();
    if (--timer[kBridge] < 1 && inside) {
      // Two diggers whose rows are joined, unless floor already lies between them.
      int a, b;
      for (;;) {
        a = Trunc(Rnd() * 8.0f);
        b = Trunc(Rnd() * 8.0f);
        if (a == b || a > 4 || b > 4) continue;
        int from = Trunc(row[a]) + 1, to = Trunc(row[b]) - 1;
        bool open = true;
        for (int y = from; y <= to && open; ++y) open = Cell(x, y, kCellType) == 0;
        if (open) break;
      }
      p_Dig(x, Trunc(row[a]), Trunc(row[b]));
      timer[kBridge] = draw(kBridge);
    }
  }

  for (int i = 0; i < 500; ++i) {
    m_Vars[i] = 0;
    m_Trail[i] = 0;
  }
  m_MapW = 2 * w;
  // The start: a floor cell of the centre column. The diggers always leave one in rows 3-29
  // there in practice; should they not, the first floor cell of the column serves.
  bool startFloor = false;
  for (int y = 3; y <= 29; ++y) startFloor = startFloor || Cell(w, y, kCellType) == 0;
  int startY = 0;
  if (startFloor) {
    do {
      startY = Trunc(Rnd() * 27.0f + 3.0f);
    } while (Cell(w, startY, kCellType) != 0);
  } else {
    while (startY < 32 && Cell(w, startY, kCellType) != 0) ++startY;
  }
  m_Vars[1] = static_cast<float>(w);
  m_Vars[2] = static_cast<float>(startY);

  // Wall tiles by the open sides around each wall.
  auto open = [this](int x, int y) {
    if (!InMap(x, y)) return false;
    float type = Cell(x, y, kCellType);
    return type != 1 && type != 2 && Cell(x, y, kCellCrumble) == 0;
  };
  for (int x = 0; x <= m_MapW; ++x) {
    for (int y = 0; y < kMapRows; ++y) {
      if (Cell(x, y, kCellType) != 1) continue;
      int mask = (open(x, y - 1) ? 1 : 0) + (open(x + 1, y) ? 2 : 0) + (open(x, y + 1) ? 4 : 0) +
                 (open(x - 1, y) ? 8 : 0);
      Cell(x, y, kCellWall) = static_cast<float>(kWallFrame[mask]);
    }
  }

  int floors = 0;
  for (int x = 0; x <= m_MapW; ++x) {
    for (int y = 0; y < kMapRows; ++y) {
      Cell(x, y, kCellTrail) = 0;
      Cell(x, y, kCellPill) = 0;
      Cell(x, y, kCellDrop) = -4.0f * bb_GW_jscrh;
      if (Cell(x, y, kCellType) == 0) ++floors;
    }
  }
  m_TraceBudget = Trunc(static_cast<float>(floors) * 0.5f);
  m_TraceCount = 0;
  m_BestTrace = 0;
  return 0;
}

int c_MyApp::p_GetLevelB() {
  for (int walk = 0; walk < 5; ++walk) {
    bb_random_Seed = MixSeed(m_LevelSeed + 7 * m_TraceCount);
    int x = Trunc(m_Vars[1]), y = Trunc(m_Vars[2]);
    Cell(x, y, kCellPill) = 1;
    int d = 0, steps = 0;
    for (int i = 0; i < 3 * m_TraceBudget; ++i) {
      // Boxed in by walls and its own marks, the walker never moves again: each step left would
      // only draw its direction (when it has none) and its turn. Those draws are skipped at once,
      // so the generator ends where the walk would have left it.
      if (p_isSolid2(x, y - 1) && p_isSolid2(x + 1, y) && p_isSolid2(x, y + 1) && p_isSolid2(x - 1, y)) {
        unsigned left = static_cast<unsigned>(3 * m_TraceBudget - i);
        bb_random_Seed = SkipDraws(bb_random_Seed, 2 * left - (d == 0 ? 0 : 1));
        break;
      }
      if (d == 0) d = Trunc(Rnd() * 3.99f + 1.0f);
      if (p_isSolid2(x + kDX[d], y + kDY[d])) d = 0;
      int r = Trunc(Rnd() * 3.9f + 1.0f);
      // A turn into a direction with five free cells ahead.
      for (int e = 1; e <= 4; ++e) {
        bool free = true;
        for (int n = 1; n <= 5 && free; ++n) free = p_isSolid2(x + n * kDX[e], y + n * kDY[e]) == 0;
        if (free && e != d && (r == e || d == 0)) d = e;
      }
      if (d > 0) {
        bool free = p_isSolid2(x + kDX[d], y + kDY[d]) == 0;
        x += kDX[d];
        y += kDY[d];
        if (free) {
          Cell(x, y, kCellPill) = static_cast<float>(d);
          ++steps;
        }
      }
    }
    bool best = steps > m_BestTrace;
    if (best) {
      m_Vars[98] = static_cast<float>(x);
      m_Vars[99] = static_cast<float>(y);
    }
    for (int cx = 0; cx <= m_MapW; ++cx) {
      for (int cy = 0; cy < kMapRows; ++cy) {
        float mark = Cell(cx, cy, kCellPill);
        Cell(cx, cy, kCellSpecial) = mark;
        if (best) Cell(cx, cy, kCellTrail) = mark;
        Cell(cx, cy, kCellPill) = 0;
      }
    }
    if (best) m_BestTrace = steps;
    ++m_TraceCount;
  }
  if (m_TraceCount > kTraceWalks - 1) p_GetLevelC();
  return 0;
}

int c_MyApp::p_GetLevelC() {
  bb_random_Seed = MixSeed(m_LevelSeed);
  for (int x = 0; x <= m_MapW; ++x) {
    for (int y = 0; y < kMapRows; ++y) {
      if (Cell(x, y, kCellType) == 0) Cell(x, y, kCellPill) = 1;
      Cell(x, y, kCellSpecial) = 0;
      if (m_LevelKind == 2 && Cell(x, y, kCellTrail) == 0) {
        Cell(x, y, kCellType) = 2;
        Cell(x, y, kCellPill) = 0;
      }
    }
  }

  int startX = Trunc(m_Vars[1]), startY = Trunc(m_Vars[2]);
  int homeX = Trunc(m_Vars[98]), homeY = Trunc(m_Vars[99]);
  auto near = [](int x, int y, int ox, int oy) { return std::abs(x - ox) <= 2 && std::abs(y - oy) <= 2; };
  // Friends lie on the trail, kept apart from each other, the home and the start while that can
  // be had within 49 tries. Only a trail without a single step would leave no place at all.
  bool trail = false;
  for (int x = 0; x < m_MapW && !trail; ++x)
    for (int y = 0; y < 32 && !trail; ++y) trail = Cell(x, y, kCellTrail) != 0;
  for (int k = 0; k < 4; ++k) {
    bb_random_Seed = MixSeed(m_LevelSeed + k);
    int x = startX, y = startY;
    for (int tries = 1; trail; ++tries) {
      x = Trunc(Rnd() * static_cast<float>(m_MapW));
      y = Trunc(Rnd() * 32.0f);
      if (Cell(x, y, kCellTrail) == 0) continue;
      if (tries <= 49) {
        bool crowded = near(x, y, homeX, homeY) || near(x, y, startX, startY);
        for (int j = 0; j < k; ++j)
          crowded = crowded || near(x, y, Trunc(m_Vars[80 + 5 * j]), Trunc(m_Vars[81 + 5 * j]));
        if (crowded) continue;
      }
      break;
    }
    m_Vars[80 + 5 * k] = static_cast<float>(x);
    m_Vars[81 + 5 * k] = static_cast<float>(y);
    m_Vars[82 + 5 * k] = 1;
  }

  for (int i = 0; i < kObjects * 10; ++i) m_Objs[i] = 0;

  // Hazards, one draw per inner cell.
  int limit = IsQuest(m_GameType) ? 50 - m_Level / 10 : 20 - m_Level / 3;
  if (limit < 5) limit = 5;
  if (limit > 30) limit = 30;
  auto plain = [this](int x, int y) { return !InMap(x, y) || Cell(x, y, kCellSpecial) == 0; };
  auto trailOf = [this](int x, int y) { return InMap(x, y) ? Cell(x, y, kCellTrail) : 0.0f; };
  for (int x = 1; x <= m_MapW - 1; ++x) {
    for (int y = 1; y <= 31; ++y) {
      int r = Trunc(Rnd() * static_cast<float>(limit));
      if (Cell(x, y, kCellType) != 0) continue;
      if ((x == startX && y == startY) || (x == homeX && y == homeY)) continue;
      if (r == 0 && (m_World == 2 || m_World == 5 || m_World == 9)) {
        if (plain(x, y) && plain(x - 1, y) && plain(x + 1, y) && plain(x, y - 1) && plain(x, y + 1))
          Cell(x, y, kCellSpecial) = 1;
      } else if (r == 1 && (m_World == 6 || m_World == 9)) {
        float t = Cell(x, y, kCellTrail);
        if (t == trailOf(x - 1, y) && t == trailOf(x + 1, y)) {
          if ((t == 2 || t == 4) && plain(x, y) && plain(x - 1, y) && plain(x + 1, y))
            Cell(x, y, kCellSpecial) = t == 2 ? 2.0f : 3.0f;
          if ((t == 1 || t == 3) && plain(x, y) && plain(x, y - 1) && plain(x, y + 1))
            Cell(x, y, kCellSpecial) = t == 1 ? 4.0f : 5.0f;
        }
      } else if (r == 2 && (m_World == 4 || m_World == 5) && y != startY) {
        // A patroller needs seven open cells in its row and floor beside that stretch.
        if (x - 3 < 1 || x + 3 > m_MapW - 1) continue;
        bool clear = true;
        for (int i = x - 3; i <= x + 3 && clear; ++i) clear = Cell(i, y, kCellType) == 0;
        if (!clear) continue;
        int beside = 0;
        for (int i = x - 3; i <= x + 3; ++i) {
          if (y == 31) {
            beside += Cell(i, 30, kCellType) == 0 ? 1 : 0;
          } else if (y == 1) {
            beside += Cell(i, 2, kCellType) == 0 ? 1 : 0;
          } else {
            beside += (Cell(i, y - 1, kCellType) == 0 ? 1 : 0) + (Cell(i, y + 1, kCellType) == 0 ? 1 : 0);
          }
        }
        if (beside > 1) p_AddObj(x, y, 1);
      }
    }
  }
  return 0;
}
