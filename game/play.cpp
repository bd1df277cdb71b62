// play.cpp: the level screen's rules, one frame per update: the drop-in, the crumbling floor,
// pills and scoring, friends and their followers, the home, spikes, one-way cells, patrollers,
// dying and completing, lives, and the level tune.
//
// The player steps from cell to cell: m_Vars 1 and 2 hold the cell he stands on or moves into,
// 3 and 4 his offset from it in cells (±1 when a step starts, brought back to 0 by 0.1 a frame).
// Play runs while nothing is paused, over, dropping in or ending. What a frame shows is recorded
// on the way (levelscreen.cpp).
#include <cmath>
#include <cstdlib>

#include "game/angles.h"
#include "game/app.h"

namespace {

int Trunc(float f) { return static_cast<int>(f); }

constexpr int kDX[5] = {0, 0, 1, 0, -1};
constexpr int kDY[5] = {0, -1, 0, 1, 0};

// Background of each world (1-9).
constexpr float kBackground[9][3] = {{0, 0, 80},  {0, 30, 0},  {0, 60, 100}, {60, 0, 100}, {0, 90, 0},
                                     {0, 0, 0},   {80, 40, 0}, {140, 0, 0},  {140, 80, 0}};

bool IsQuest(int type) { return type == 1 || type == 5 || type == 9; }

// v moved toward 0 by step, stopping at 0.
float TowardZero(float v, float step) {
  if (v > 0) return v - step < 0 ? 0 : v - step;
  if (v < 0) return v + step > 0 ? 0 : v + step;
  return 0;
}

}  // namespace

void c_MyApp::StepPatroller(float* o, bool running) {
  if (running) {
    o[3] = TowardZero(o[3], o[7]);
    o[4] = TowardZero(o[4], o[7]);
  }
  int ox = Trunc(o[1]), oy = Trunc(o[2]);
  if (o[3] != 0 || o[4] != 0 || ox <= 0 || ox >= m_MapW || oy <= 0 || oy >= 32) return;
  int dir = Trunc(o[5]);
  bool turned = true;
  if (dir == 2 && p_isSolid_G(ox + 1, oy, 2)) {
    if (!(p_isSolid_G(ox, oy + 1, 3) && p_isSolid_G(ox - 1, oy, 4))) o[5] = 4;
  } else if (dir == 4 && p_isSolid_G(ox - 1, oy, 4)) {
    o[5] = 2;
  } else if (dir == 1) {
    o[5] = 2;
  } else if (dir == 3) {
    o[5] = 4;
  } else {
    turned = false;
  }
  if (!turned && running && (dir == 2 || dir == 4)) {
    o[1] += dir == 2 ? 1.0f : -1.0f;
    o[3] = dir == 2 ? -1.0f : 1.0f;
  }
}

int c_MyApp::p_Game() {
  int world = m_World >= 1 && m_World <= 9 ? m_World : 1;
  p_CLS2D(kBackground[world - 1][0], kBackground[world - 1][1], kBackground[world - 1][2], 1);
  m_CamX -= (m_CamX - m_CamTX) * 0.125f;
  m_CamY -= (m_CamY - m_CamTY) * 0.125f;

  // The trail search runs over the level's first frames.
  if (m_TraceCount < kTraceWalks) p_GetLevelB();
  bool laidOut = m_TraceCount >= kTraceWalks;

  m_Settling = 0;
  int landed = 0;
  int pillsLeft = 0;
  bool ending = m_Outcome <= -31 || m_Outcome >= 31;
  int playerX = Trunc(m_Vars[1]), playerY = Trunc(m_Vars[2]);
  for (int x = 0; x <= m_MapW; ++x) {
    for (int y = 0; y < kMapRows; ++y) {
      float* cell = &Cell(x, y, 0);
      if (cell[kCellPill] == 1) ++pillsLeft;
      if (x == playerX && y == playerY) m_PlayerDrop = cell[kCellDrop];
      float alpha = 1;
      if (cell[kCellDrop] < 0) {
        cell[kCellDrop] += 8.0f + bb_random_Rnd() * 20.0f;
        m_Settling = 1;
        if (landed == 0) landed = 1;
        if (cell[kCellDrop] >= 0) {
          cell[kCellDrop] = 0;
          landed = 2;
        }
      }
      if (ending) {
        cell[kCellDrop] += cell[kCellCrumble];
        cell[kCellCrumble] += 0.25f + bb_random_Rnd() * 0.15f;
      } else if (cell[kCellCrumble] > 0 && m_Outcome == 0 && m_Paused == 0) {
        alpha = 2 - cell[kCellCrumble] < 1 ? 2 - cell[kCellCrumble] : 1;
        cell[kCellDrop] += cell[kCellCrumble];
        cell[kCellCrumble] += 0.03f + bb_random_Rnd() * 0.02f;
        if (cell[kCellCrumble] > 1.9f) {
          cell[kCellType] = 2;
          cell[kCellCrumble] = 0;
          cell[kCellDrop] = 0;
        }
      }
      float sx = kCellSize * static_cast<float>(x) - m_CamX;
      float sy = cell[kCellDrop] + kCellSize * static_cast<float>(y) - m_CamY;
      if (sx <= -128 || sx >= bb_GW_jscrw + 128 || sy <= -128 || sy >= bb_GW_jscrh + 128) continue;
      // Until the search is done the special slot holds walk marks, not hazards.
      int spikeFrame = 0;
      if (laidOut && cell[kCellSpecial] == 1 && cell[kCellType] == 0) {
        float angle = static_cast<float>(15 * x + 11 * y + 4 * m_Frame);
        int v = Trunc(6.0f * bbSinDeg(angle));
        cell[kCellSpikeUp] = v >= 3 ? 1.0f : 0.0f;
        spikeFrame = v < 0 ? 0 : v > 3 ? 3 : v;
      }
      DrawCell(x, y, sx, sy, alpha, spikeFrame, laidOut);
    }
  }
  // The level waits for its layout as well as for its cells.
  if (!laidOut) m_Settling = 1;
  m_Vars[24] = static_cast<float>(pillsLeft);
  if (landed == 1) p_PlaySFX(6, 0.75f + bb_random_Rnd() * 0.5f, 0.3f, 0);
  if (landed == 2) p_PlaySFX(6, 0.75f + bb_random_Rnd() * 0.5f, 0.75f, 0);

  // Whatever ends play (a patroller, a hole, spikes, being boxed in) ends it for the rest of the
  // frame too: the condition is read afresh after each of them.
  auto playing = [this] { return m_Paused == 0 && m_GameOver == 0 && m_Settling == 0 && m_Outcome == 0; };
  bool running = playing();

  // Patrollers glide from cell to cell along their row and turn at walls.
  p_ResetDraw();
  for (int slot = 0; slot < kObjects; ++slot) {
    float* o = m_Objs.Data() + slot * 10;
    if (o[0] == 0) continue;
    o[8] = std::fmod(o[8] + 0.1f + bb_random_Rnd() * 0.1f, 3.0f);
    StepPatroller(o, running);
    float screenX = (o[1] + o[3]) * kCellSize - m_CamX;
    float screenY = (o[2] + o[4]) * kCellSize - m_CamY;
    // Only while play runs: a player rising into his home past a patroller frozen there is home.
    if (std::fabs(screenX - PlayerScreenX()) < 26.125f && std::fabs(screenY - PlayerTouchY()) < 30.874998f &&
        m_Outcome == 0)
      m_Outcome = -1;
    DrawPatroller(slot);
  }

  // The cell the player stands on: holes and raised spikes kill; a pill is eaten; then being boxed
  // in kills (a Pathfinder home is a dead end, and its pill is eaten on arrival).
  if (std::fabs(m_Vars[3]) < 0.3f && std::fabs(m_Vars[4]) < 0.3f && InMap(playerX, playerY) && playing()) {
    float* cell = &Cell(playerX, playerY, 0);
    if (cell[kCellType] == 2 || (cell[kCellSpecial] == 1 && cell[kCellSpikeUp] == 1)) m_Outcome = -1;
    if (cell[kCellPill] == 1 && playing()) {
      m_Vars[25] = std::fmod(m_Vars[25] + 1, 2.0f);
      p_PlaySFX(m_Vars[25] == 0 ? 4 : 5, 1, 0.5f, 0);
      m_Settings[1] += 1;
      for (int i = 0; i < 5; ++i) p_ThrowParticle(m_Vars[8], m_Vars[9], 2, 3, kOmittedF, kOmittedF);
      cell[kCellPill] = 0;
      m_Score += Trunc(m_Vars[79]) + 1;
      // The count goes down with it: the home's own pill is eaten in the frame the player arrives,
      // which is also the frame its dead end would box him in.
      --pillsLeft;
      m_Vars[24] = static_cast<float>(pillsLeft);
    }
    if (p_isSolid(playerX - 1, playerY, 4) && p_isSolid(playerX + 1, playerY, 2) &&
        p_isSolid(playerX, playerY - 1, 1) && p_isSolid(playerX, playerY + 1, 3))
      m_Outcome = -1;
  }

  // Steering: the axes pick a direction into an enterable cell; a turn wins over going straight.
  int current = Trunc(m_Vars[17]);
  int request = m_World == 3 ? current : 0;
  auto offer = [&](int dir) {
    if (p_isSolid(playerX + kDX[dir], playerY + kDY[dir], dir) == 0) request = dir;
  };
  auto vertical = [&] {
    if (m_MoveY < -0.5f) {
      offer(1);
    } else if (m_MoveY > 0.5f) {
      offer(3);
    }
  };
  auto horizontal = [&] {
    if (m_MoveX < -0.5f) {
      offer(4);
    } else if (m_MoveX > 0.5f) {
      offer(2);
    }
  };
  if (current == 2 || current == 4) {
    horizontal();
    vertical();
  } else {
    vertical();
    horizontal();
  }
  m_Vars[16] = static_cast<float>(request);

  // A step starts only from the middle of a cell.
  if (m_Vars[3] == 0 && m_Vars[4] == 0 && playing()) {
    m_Vars[7] = 0;
    if (request > 0 && p_isSolid(playerX + kDX[request], playerY + kDY[request], request) == 0) {
      static const float kFacing[5] = {0, -90, 0, 90, 180};
      p_Cave(playerX, playerY);
      m_Vars[3] = static_cast<float>(-kDX[request]);
      m_Vars[4] = static_cast<float>(-kDY[request]);
      m_Vars[5] = kFacing[request];
      m_Vars[17] = static_cast<float>(request);
      m_Vars[1] += static_cast<float>(kDX[request]);
      m_Vars[2] += static_cast<float>(kDY[request]);
    }
  }

  m_Vars[11] = 0.1f;
  if ((m_Vars[3] != 0 || m_Vars[4] != 0) && m_Paused == 0) {
    p_enTrail();
    m_Vars[7] += 1;
    m_Vars[3] = TowardZero(m_Vars[3], m_Vars[11]);
    m_Vars[4] = TowardZero(m_Vars[4], m_Vars[11]);
  }
  m_Vars[8] = (m_Vars[1] + m_Vars[3]) * kCellSize;
  m_Vars[9] = (m_Vars[2] + m_Vars[4]) * kCellSize;
  m_CamTX = m_Vars[8] - bb_GW_jscrw / 2;
  m_CamTY = m_Vars[9] - bb_GW_jscrh / 2;

  // The end of the level: sparkles rising home, or a spiral while the player dies.
  float px = m_Vars[8], py = m_Vars[9];
  if (m_Outcome > 0) {
    p_enTrail();
    if (m_Outcome <= 79) {
      for (int i = 0; i < 6; ++i) {
        float dx = bb_random_Rnd() * 32.0f - 16.0f;
        float dy = bb_random_Rnd() * 32.0f - 16.0f;
        p_ThrowParticle(px + dx, py + dy, 1, 5, 0, kOmittedF);
      }
    }
  } else if (m_Outcome < 0) {
    p_enTrail();
    if (m_Outcome > -80) {
      float angle = -6.0f * static_cast<float>(m_Outcome);
      p_ThrowParticle(px, py, 1, 3, angle, 6);
      p_ThrowParticle(px, py, 1, 3, angle + 180.0f, 6);
    }
    m_Outcome -= 1;
    if (m_Outcome == -5) p_PlaySFX(3, 1, 1, 0);
  }

  UpdateFriends();
  UpdateFollowers();
  UpdateHome(pillsLeft);
  DrawPlayer();

  if (m_Outcome > 0) {
    m_Outcome += 1;
    if (m_Outcome > 120) m_Outcome = 121;
    if (m_Outcome == 121) {
      if (IsQuest(m_GameType)) {
        LevelEndPanel(1);
      } else {
        m_Level += 1;
        p_GetLevel();
      }
    }
  } else if (m_Outcome < -119) {
    m_Outcome = -121;
    if (IsQuest(m_GameType)) {
      LevelEndPanel(0);
    } else if (m_GameOver == 0) {
      // The life is lost once; the held outcome keeps the game over screen running.
      m_Lives -= 1;
      if (m_Lives < 1) {
        m_GameOver = 1;
      } else {
        p_GetLevel();
      }
    }
  }

  DrawBanner();
  p_DoParticles();
  p_AnalogueControl();
  int shown = m_ShownScore - (m_ShownScore - m_Score) / 6;
  m_ShownScore = std::abs(shown - m_Score) > 5 ? shown : m_Score;
  DrawHud(Trunc(m_Vars[24]));
  TutorialSpeech();

  m_Frame = (m_Frame + 1) % 36000;
  if (m_Outcome == 6 || m_Outcome == -6) p_StopTune();
  if (m_Settling == 0 && m_TuneStarted == 0) {
    m_TuneStarted = 1;
    p_PlayTune(String("tune0") + String((m_Level + m_GameType + 3) % 6 + 1), 0);
  }
  if (bb_GW_DebugMode == 1) {
    p_ResetDraw();
    p_Text(40, bb_GW_jscrh - 40, String(m_MapW), 0, 0);
  }
  return 0;
}
