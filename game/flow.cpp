// flow.cpp: starting a game, recording a finished one, and the in-game pause trigger.
#include "game/app.h"

int c_MyApp::p_LoadGame() {
  m_Paused = 0;
  bb_GW_OnScreenControls = m_MouseDown > 0 ? 1 : 0;
  m_Score = 0;
  m_GameOver = 0;
  m_ShowTrail = 0;
  m_CamX = m_CamTX = m_CamY = m_CamTY = 0;
  m_Level = 1;
  m_Lives = 3;
  m_GameOverStep = 0;
  m_Mode = 10;
  if (m_GameType == 1 || m_GameType == 5 || m_GameType == 9) {
    m_Lives = 2;
    m_Level = m_QuestWorld * 10 + m_QuestLevel;
  }
  m_PartCount = 250;
  for (m_I = 0; m_I <= 250; ++m_I) m_Parts[m_I * 10] = 0;
  for (m_I = 0; m_I < 500; ++m_I) {
    m_Vars[m_I] = 0;
    m_Trail[m_I] = 0;
  }
  m_SeedBase = m_GameType * 12345;
  if (m_GameType == 4 || m_GameType == 8 || m_GameType == 12) m_SeedBase = bb_app_Millisecs();
  p_GetLevel();
  return 0;
}

int c_MyApp::p_LoadMenu() {
  int s = m_Score;
  int b = 10 * (m_GameType - 1);
  m_ScoreBase = b;
  int r = -1;
  for (int i = 0; i < 10; ++i) {
    if (m_Scores[b + i] < s) {
      r = i;
      break;
    }
  }
  if (r >= 0) {
    for (int i = 9; i > r; --i) m_Scores[b + i] = m_Scores[b + i - 1];
    m_Scores[b + r] = s;
  }
  for (int i = 9; i >= 1; --i) m_Scores[b + 240 + i] = m_Scores[b + 240 + i - 1];
  m_Scores[b + 240] = s;
  p_Save();
  return 0;
}

// The back key summed over the four devices.
static int bbBackKeyDown(c_MyApp* app) {
  int sum = 0;
  for (int d = 0; d < 4; ++d) sum += app->p_PlayKey(99, 1, d);
  if (bb_GW_isOuya == 1)
    for (int d = 0; d < 4; ++d) sum += app->p_PlayKey(13, 1, d);
  return sum;
}

int c_MyApp::p_InGame() {
  p_ResetDraw();
  m_MenuSlide = -32;
  auto pause = [this]() {
    m_Paused = 1;
    m_PauseDir = 1;
    m_PauseCursor = 0;
    p_PlaySFX2(98, 0.5f);
  };
  if (bbBackKeyDown(this) > 0 && m_Paused == 0 && m_KeyLatch == 0) {
    m_KeyLatch = 1;
    pause();
  }
  if (m_HideHud == 0) {
    p_Alpha(1);
    p_DrawImg(97, 16, 16, 0);
    if (p_ImageHit(97, 16, 16) && m_Paused == 0) {
      m_PointerLatch = 1;
      pause();
    }
  }
  if (m_Paused == 1) p_PauseMenu();
  return 0;
}
