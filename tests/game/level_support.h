// level_support.h: small hand-drawn levels for the rules tests, and reading generated levels.
//
// An arena is drawn as text, one string per row from row 0: '#' wall, '.' floor, 'o' floor with
// a pill, 'x' hole, 'S' the start, 'H' the home, 'F' a waiting friend, '^' spikes, '>' '<' 'A'
// 'V' one-way cells entered moving right, left, up, down, 'P' a patroller on floor. Rows below
// the drawing are walls. The arena is laid out and settled, so play runs from the first update.
#pragma once

#include <string>
#include <vector>

#include "harness.h"

namespace gametest {

inline float& CellOf(c_MyApp* app, int x, int y, int slot) { return app->Cell(x, y, slot); }

// Lays out an arena in world `world` of game type 2, with the game in play.
inline void Arena(Game& g, const std::vector<std::string>& rows, int world = 1) {
  c_MyApp* app = g.app;
  app->m_LoadStep = 0;
  app->m_Mode = 10;
  app->m_GameType = 2;
  app->m_Level = 1;
  app->m_Lives = 3;
  app->m_World = world;
  app->m_LevelKind = 1;
  app->m_Tutorial = 0;
  app->m_Paused = 0;
  app->m_GameOver = 0;
  app->p_ResetPlayers();
  for (int i = 0; i < c_MyApp::kObjects * 10; ++i) app->m_Objs[i] = 0;
  app->m_MapW = static_cast<int>(rows[0].size()) - 1;
  for (int x = 0; x <= app->m_MapW; ++x)
    for (int y = 0; y < c_MyApp::kMapRows; ++y) {
      for (int s = 0; s < 10; ++s) app->Cell(x, y, s) = 0;
      app->Cell(x, y, c_MyApp::kCellType) = 1;
    }
  app->m_Vars[98] = app->m_Vars[99] = -10;  // no home unless drawn
  int friends = 0;
  for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
    for (int x = 0; x <= app->m_MapW; ++x) {
      char c = rows[y][x];
      if (c == '#') continue;
      app->Cell(x, y, c_MyApp::kCellType) = c == 'x' ? 2 : 0;
      if (c == 'o') app->Cell(x, y, c_MyApp::kCellPill) = 1;
      if (c == '^') app->Cell(x, y, c_MyApp::kCellSpecial) = 1;
      if (c == '>') app->Cell(x, y, c_MyApp::kCellSpecial) = 2;
      if (c == '<') app->Cell(x, y, c_MyApp::kCellSpecial) = 3;
      if (c == 'A') app->Cell(x, y, c_MyApp::kCellSpecial) = 4;
      if (c == 'V') app->Cell(x, y, c_MyApp::kCellSpecial) = 5;
      if (c == 'S') app->m_Vars[1] = static_cast<float>(x), app->m_Vars[2] = static_cast<float>(y);
      if (c == 'H') app->m_Vars[98] = static_cast<float>(x), app->m_Vars[99] = static_cast<float>(y);
      if (c == 'F') {
        app->m_Vars[80 + 5 * friends] = static_cast<float>(x);
        app->m_Vars[81 + 5 * friends] = static_cast<float>(y);
        app->m_Vars[82 + 5 * friends] = 1;
        ++friends;
      }
      if (c == 'P') app->p_AddObj(x, y, 1);
    }
  }
  app->m_TraceCount = c_MyApp::kTraceWalks;
  app->m_Outcome = 0;
  app->m_Settling = 0;
  app->m_TuneStarted = 1;
  app->m_Vars[8] = app->m_Vars[1] * c_MyApp::kCellSize;
  app->m_Vars[9] = app->m_Vars[2] * c_MyApp::kCellSize;
  app->m_CamX = app->m_CamTX = app->m_Vars[8] - bb_GW_jscrw / 2;
  app->m_CamY = app->m_CamTY = app->m_Vars[9] - bb_GW_jscrh / 2;
}

// One update with the control axes held at (x, y) for the level's steering.
inline void Steer(Game& g, float x, float y) {
  g.app->m_MoveX = x;
  g.app->m_MoveY = y;
  g.Update();
}

inline int PlayerX(Game& g) { return static_cast<int>(g.app->m_Vars[1]); }
inline int PlayerY(Game& g) { return static_cast<int>(g.app->m_Vars[2]); }
inline bool AtRest(Game& g) { return g.app->m_Vars[3] == 0 && g.app->m_Vars[4] == 0; }

// Generates a level as the level screen does, through all three stages, without playing it.
inline void Generate(c_MyApp* app, int type, int level, int seedBase) {
  app->m_GameType = type;
  app->m_Level = level;
  app->m_SeedBase = seedBase;
  app->p_GetLevel();
  while (app->m_TraceCount < c_MyApp::kTraceWalks) app->p_GetLevelB();
}

constexpr int kDX[5] = {0, 0, 1, 0, -1};
constexpr int kDY[5] = {0, -1, 0, 1, 0};

}  // namespace gametest
