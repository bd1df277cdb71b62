// levelscreen.cpp: what the level screen shows each frame: map cells, patrollers, the player,
// friends, followers and the home (as edge markers when off screen), the level banner, the score
// and lives, the tutorial's speech bubbles and the Quest panels that end a level.
//
// Image slots: 1 the player, 2 the small sprites (pills, friends, home, lives, arrows), 3 the
// patroller, 4 the world's wall tiles, 5 the spikes. Positions are level coordinates less the
// camera; a cell is 47.5 units.
#include <cmath>

#include "game/angles.h"
#include "game/app.h"

namespace {

int Trunc(float f) { return static_cast<int>(f); }

// Floor colour of each world (1-9).
constexpr float kFloor[9][3] = {{0, 80, 180}, {0, 100, 0},  {0, 130, 180}, {130, 0, 160}, {0, 127, 0},
                                {64, 64, 64}, {180, 80, 0}, {50, 50, 50},   {220, 160, 0}};

// Clamps a screen position to the visible area less a 16-unit border; true when it moved.
bool ClampToScreen(float& x, float& y) {
  float cx = x < 16 ? 16 : x > bb_GW_jscrw - 16 ? bb_GW_jscrw - 16 : x;
  float cy = y < 16 ? 16 : y > bb_GW_jscrh - 16 ? bb_GW_jscrh - 16 : y;
  bool moved = cx != x || cy != y;
  x = cx;
  y = cy;
  return moved;
}

// The tutorial's bubbles: score range, placement (-1 above, 1 below) and lines.
struct Bubble {
  int low, high, place;
  const char* lines[3];
};
const Bubble kTutorial[] = {
    {0, 4, -1, {"Welcome to", "", "Garvolin Zudodo"}},
    {0, 4, 1, {"In this tutorial", "simply follow", "the larger pills."}},
    {6, 14, -1, {"As you eat,", "the floor collapses", "behind you!"}},
    {16, 29, -1, {"Gather up your friends", "", "There are 4 in each level."}},
    {30, 49, -1, {"Your home is closed", "until you've collected", "all of your friends."}},
    {71, 169, -1, {"Follow the trail around", "the maze to reach", "your home."}},
    {141, 209, 1, {"The more friends you've", "collected, the more", "each pill is worth!"}},
    {171, 274, -1, {"After this tutorial,", "there will be no obvious", "path to follow."}},
    {211, 299, 1, {"Try to find the best path", "that earns you the most", "points in each level."}},
};

}  // namespace

void c_MyApp::DrawCell(int x, int y, float sx, float sy, float alpha, int spikeFrame, bool laidOut) {
  const float* cell = &Cell(x, y, 0);
  int world = m_World >= 1 && m_World <= 9 ? m_World : 1;
  bool floor = cell[kCellType] == 0;
  if (floor) {
    p_SetCol(kFloor[world - 1][0], kFloor[world - 1][1], kFloor[world - 1][2], alpha);
    p_Rect(sx - 24.225f, sy - 24.225f, 48.45f, 48.45f);
  }
  p_SetCol(255, 255, 255, alpha);
  int special = laidOut && floor ? Trunc(cell[kCellSpecial]) : 0;
  if (special == 1) p_DrawImg(5, sx, sy, static_cast<float>(spikeFrame));
  if (special >= 2 && special <= 5) {
    static const float kArrow[6] = {0, 0, 0, 180, -90, 90};
    p_SetRot(kArrow[special]);
    p_DrawImg(2, sx, sy, 6);
    p_SetRot(0);
  }
  if (cell[kCellWall] > 0) p_DrawImg(4, sx, sy, cell[kCellWall] - 1);
  if (cell[kCellPill] > 0) {
    float frame = (cell[kCellTrail] != 0 && m_ShowTrail == 1) ? 1.0f : static_cast<float>(Trunc(cell[kCellPill] - 1));
    float bob = std::fabs(6.0f * bbCosDeg(static_cast<float>(7 * x + 12 * y + 4 * m_Frame)));
    p_DrawImg(2, sx, sy + 2 - bob, frame);
  }
}

void c_MyApp::DrawPatroller(int slot) {
  const float* o = m_Objs.Data() + slot * 10;
  if (o[0] != 1) return;
  p_DrawImg(3, (o[1] + o[3]) * kCellSize - m_CamX, (o[2] + o[4]) * kCellSize - m_CamY,
            static_cast<float>(Trunc(o[8])));
}

float c_MyApp::PlayerScreenX() { return m_Vars[8] - m_CamX; }

float c_MyApp::PlayerScreenY() {
  float y = m_Vars[9] - m_CamY;
  if (m_Outcome < 0) return y;
  y += m_PlayerDrop;
  if (m_Outcome > 0) y -= static_cast<float>(m_Outcome * m_Outcome) * 0.05f;
  return y;
}

float c_MyApp::PlayerTouchY() { return m_Outcome >= 0 ? PlayerScreenY() - m_PlayerDrop : PlayerScreenY(); }

void c_MyApp::DrawPlayer() {
  p_ResetDraw();
  float facing = m_Vars[5];
  if (facing == 180) {
    p_SetSize(-1, 1);
  } else {
    p_SetRot(facing);
  }
  float frame = static_cast<float>(Trunc(std::fmod(m_Vars[7] / 6.0f, 2.0f)));
  if (m_Outcome < 0) {
    p_SetRot(static_cast<float>(m_Outcome / 5 * 90));
    int dying = -m_Outcome / 12 + 4;
    if (dying < 12) p_DrawImg(1, PlayerScreenX(), PlayerScreenY(), static_cast<float>(dying));
  } else {
    p_DrawImg(1, PlayerScreenX(), PlayerScreenY(), frame);
  }
  p_ResetDraw();
}

void c_MyApp::UpdateFriends() {
  for (int k = 0; k < 4; ++k) {
    float* friendCell = m_Vars.Data() + 80 + 5 * k;
    if (friendCell[2] != 1) continue;
    p_ResetDraw();
    float x = kCellSize * friendCell[0] - m_CamX;
    float y = kCellSize * friendCell[1] - m_CamY;
    if (ClampToScreen(x, y)) {
      p_SetSize(0.9f, 0.9f);
      p_Alpha(0.75f);
    }
    float bob = 12.0f * std::fabs(bbCosDeg(static_cast<float>(32 * k + 7 * m_Frame)));
    p_DrawImg(2, x, y - bob, 2);
    if (std::fabs(x - PlayerScreenX()) < 16 && std::fabs(y - PlayerTouchY()) < 16) {
      m_Vars[79] += 1;
      int n = Trunc(m_Vars[79]);
      p_PlaySFX(14 + n, 1, 1, 0);
      float* follower = m_Vars.Data() + 60 + 5 * (n - 1);
      follower[0] = friendCell[0];
      follower[1] = friendCell[1];
      follower[2] = friendCell[0];
      friendCell[2] = 0;
    }
  }
  p_ResetDraw();
}

void c_MyApp::UpdateFollowers() {
  p_ResetDraw();
  int count = Trunc(m_Vars[79]);
  for (int k = 0; k < count && k < 4; ++k) {
    float* f = m_Vars.Data() + 60 + 5 * k;
    const float* target = m_Trail.Data() + (43 - 7 * k) * 5;
    f[2] = f[0];
    f[0] -= (f[0] - target[0]) * 0.125f;
    f[1] -= (f[1] - target[1]) * 0.125f;
    p_SetSize(f[0] < f[2] ? -1.0f : 1.0f, 1);
    float angle = static_cast<float>(32 * k);
    float x = kCellSize * f[0] - m_CamX + 4.0f * bbSinDeg(angle + 5.0f * static_cast<float>(m_Frame));
    float y = kCellSize * f[1] - m_CamY - 6.0f * std::fabs(bbCosDeg(angle + 7.0f * static_cast<float>(m_Frame)));
    p_DrawImg(2, x, y, 2);
  }
  p_ResetDraw();
}

void c_MyApp::UpdateHome(int pillsLeft) {
  p_ResetDraw();
  float x = kCellSize * m_Vars[98] - m_CamX;
  float y = kCellSize * m_Vars[99] - m_CamY;
  bool visible = !ClampToScreen(x, y);
  if (!visible) {
    p_SetSize(0.7f, 0.7f);
    p_Alpha(0.75f);
  }
  int friends = Trunc(m_Vars[79]);
  if (friends < 4) {
    if (visible) {
      p_Alpha(0.8f);
    } else {
      p_SetSize(0.5f, 0.5f);
      p_Alpha(0.5f);
    }
  }
  p_DrawImg(2, x, y, 4);
  p_ResetDraw();
  if (visible && std::fabs(x - PlayerScreenX()) < 16 && std::fabs(y - PlayerTouchY()) < 16 && friends == 4 &&
      (m_LevelKind != 2 || pillsLeft == 0) && m_Outcome < 1) {
    m_Outcome = 1;
    p_PlaySFX(2, 1, 1, 0);
  }
}

void c_MyApp::DrawBanner() {
  m_BannerY -= m_BannerV;
  m_BannerV += 0.2f;
  if (m_Settling == 1) {
    m_BannerY = bb_GW_jscrh / 2;
    m_BannerV = 0;
  }
  if (m_BannerY > -64) {
    p_ResetDraw();
    p_SetSize(3, 3);
    m_Font = 89;
    p_Text(bb_GW_jscrw / 2, m_BannerY, String("Level ") + String(m_Level) + String(" "), 1, 1);
    m_Font = 90;
    p_ResetDraw();
  }
}

void c_MyApp::DrawHud(int pillsLeft) {
  if (m_HideHud != 0) return;
  p_ResetDraw();
  p_SetSize(2, 2);
  p_SetCol(100, 255, 100, 0.8f);
  if (m_LevelKind == 2) {
    p_Text(bb_GW_jscrw / 2, 32, String("Left : ") + String(pillsLeft), 1, 1);
  } else {
    p_Text(bb_GW_jscrw / 2, 32, p_rstr(m_ShownScore, 8, String("0")), 1, 1);
  }
  p_SetSize(0.5f, 0.5f);
  p_SetCol(255, 255, 255, 0.8f);
  for (int i = 1; i <= m_Lives; ++i)
    p_DrawImg(2, static_cast<float>(16 * i) + bb_GW_jscrw / 2 - static_cast<float>(8 * m_Lives + 8), 52, 5);
  p_ResetDraw();
}

void c_MyApp::TutorialSpeech() {
  if (m_Tutorial != 1 || m_Settling != 0 || m_Outcome != 0 || m_Paused != 0 || m_GameOver != 0) return;
  for (const Bubble& b : kTutorial) {
    if (m_Score < b.low || m_Score > b.high) continue;
    p_Speak(String(b.lines[0]), String(b.lines[1]), String(b.lines[2]), m_Vars[8],
            m_Vars[9] + 96.0f * static_cast<float>(b.place));
  }
}

void c_MyApp::LevelEndPanel(int complete) {
  float cx = static_cast<float>(Trunc(bb_GW_jscrw / 2));
  float cy = static_cast<float>(Trunc(bb_GW_jscrh / 2));
  p_ResetDraw();
  // The backing is wide enough for the large font's titles at three times their size.
  p_SetCol(160, 160, 0, 0.8f);
  p_Rect(cx - 200, cy - 96, 400, 192);
  p_SetCol(255, 255, 255, 1);
  m_Font = 89;
  p_SetSize(3, 3);
  if (complete) {
    p_SetCol(80, 255, 80, kOmittedF);
    p_Text(cx, cy - 24, String("Level "), 1, 1);
    p_Text(cx, cy + 24, String("Complete "), 1, 1);
  } else {
    p_SetCol(255, 80, 80, kOmittedF);
    p_Text(cx, cy, String("Failed "), 1, 1);
  }
  p_SetSize(2, 2);
  if (complete) {
    p_SetCol(255, 80, 80, kOmittedF);
  } else {
    p_SetCol(80, 255, 80, kOmittedF);
  }
  p_Text(cx - 96, cy + 80, String("Retry "), 1, 1);
  p_Text(cx - 96, cy + 112, String("<     "), 1, 1);
  bool next = complete && m_Level < 999;
  bool help = !complete && m_Lives < 1;
  if (next) {
    p_SetCol(80, 255, 80, kOmittedF);
    p_Text(cx + 96, cy + 80, String(" Next "), 1, 1);
    p_Text(cx + 96, cy + 112, String("    > "), 1, 1);
  }
  if (help) {
    p_SetCol(255, 180, 80, kOmittedF);
    p_Text(cx + 96, cy + 80, String(" Help "), 1, 1);
    p_Text(cx + 96, cy + 112, String("     > "), 1, 1);
  }
  p_SetCol(255, 255, 255, kOmittedF);
  p_Text(cx, cy - 80, String("Menu "), 1, 1);
  p_SetRot(90);
  p_Text(cx, cy - 118, String("  <  "), 1, 1);
  p_SetRot(0);
  m_Font = 90;
  p_SetSize(2, 2);

  int best = m_QuestSet * 1000 + m_Level;
  if (complete && best >= 0 && best < m_Quest.Length() && m_Score > m_Quest[best]) {
    m_Quest[best] = m_Score;
    p_Save();
  }

  if (m_PointerLatch != 0 || m_KeyLatch != 0) return;
  auto key = [this](int a, int b, int c) {
    return p_PlayKey(a, 1, 0) || p_PlayKey(b, 1, 0) || (c >= 0 && p_PlayKey(c, 1, 0));
  };
  bool left = (m_MouseDown && p_MouseIn_Centered(cx - 96, cy + 112, 64, 64)) || key(3, 12, -1);
  // The right choice exists on the complete panel and, once the lives are used up, the failed one.
  bool right = (complete || help) &&
               ((m_MouseDown && p_MouseIn_Centered(cx + 96, cy + 112, 64, 64)) || key(5, 10, 11));
  bool up = (m_MouseDown && p_MouseIn_Centered(cx, cy - 80, 64, 64)) || key(0, 13, -1);
  if (!left && !right && !up) return;
  m_PointerLatch = 1;
  m_KeyLatch = 1;
  if (left) {
    m_Lives -= 1;
    m_ShowTrail = 0;
    m_Score = 0;
    p_GetLevel();
  } else if (right && help) {
    m_Lives -= 1;
    m_Score = 0;
    p_GetLevel();
    m_ShowTrail = 1;
  } else if (right && next) {
    m_Level += 1;
    m_ShowTrail = 0;
    m_Score = 0;
    m_Lives = 2;
    p_GetLevel();
  } else if (right && complete) {
    m_QuestWorld = 99;
    m_QuestLevel = 9;
    m_QuestTarget = -520;
    m_QuestRefresh = 0;
    m_Mode = 1;
  } else if (up) {
    m_ShowTrail = 0;
    m_QuestWorld = m_Level / 10;
    m_QuestLevel = m_Level % 10;
    m_QuestTarget = static_cast<float>(128 - 72 * (m_Level % 10));
    m_QuestRefresh = 0;
    m_Mode = 1;
  }
}
