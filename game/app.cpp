// app.cpp: the game object's construction, creation, per-update order and suspend/resume.
#include "game/app.h"

#include "runtime/host/error.h"
#include "runtime/host/asyncevent.h"
#include "runtime/host/game.h"
#include "runtime/host/startup_trace.h"

c_MyApp* bbGame() { return static_cast<c_MyApp*>(bb_app__app); }

// Every array is allocated once, at its fixed length, and never replaced.
c_MyApp::c_MyApp() {
  gc_assign(m_Img, Array<c_Image*>(kImages));
  gc_assign(m_ImgInfo, Array<int>(3 * kImages));
  gc_assign(m_DrawList, Array<float>(kDrawListFloats));
  gc_assign(m_TouchDown, Array<int>(kTouches));
  gc_assign(m_TouchX, Array<int>(kTouches));
  gc_assign(m_TouchY, Array<int>(kTouches));
  gc_assign(m_VKey, Array<int>(kVKeys));
  gc_assign(m_Sfx, Array<c_Sound*>(100));
  gc_assign(m_SfxChannel, Array<int>(33));
  gc_assign(m_Scores, Array<int>(1200));
  gc_assign(m_Quest, Array<int>(21000));
  gc_assign(m_BadgeGot, Array<bool>(256));
  gc_assign(m_BadgeQueue, Array<int>(15));
  gc_assign(m_BadgeTime, Array<int>(15));
  gc_assign(m_Settings, Array<int>(25));
  gc_assign(m_Vars, Array<float>(512));
  gc_assign(m_Trail, Array<float>(512));
  gc_assign(m_Parts, Array<float>(5100));
  gc_assign(m_Music, (new c_KxPlayer)->m_new());
  gc_assign(m_Map, Array<float>(kMapFloats));
  gc_assign(m_Objs, Array<float>(kObjects * 10));
}

c_MyApp* c_MyApp::m_new() {
  c_App::m_new();
  return this;
}

void c_MyApp::mark() {
  gc_mark_q(m_Img);
  gc_mark_q(m_ImgInfo);
  gc_mark_q(m_DrawList);
  gc_mark_q(m_TouchDown);
  gc_mark_q(m_TouchX);
  gc_mark_q(m_TouchY);
  gc_mark_q(m_VKey);
  gc_mark_q(m_Sfx);
  gc_mark_q(m_SfxChannel);
  gc_mark_q(m_Scores);
  gc_mark_q(m_Quest);
  gc_mark_q(m_BadgeGot);
  gc_mark_q(m_BadgeQueue);
  gc_mark_q(m_BadgeTime);
  gc_mark_q(m_Settings);
  gc_mark_q(m_Vars);
  gc_mark_q(m_Trail);
  gc_mark_q(m_Parts);
  gc_mark_q(m_Music);
  gc_mark_q(m_Map);
  gc_mark_q(m_Objs);
}

int c_MyApp::p_OnCreate() {
  if (bb_GW_isOuya == 1) bb_GW_overscan = 64;
  m_Fullscreen = 0;
  m_JinglePlayed = 0;
  m_World = 0;
  m_SaveCursor = -1;
  m_Mode = 1;
  bb_app_SetUpdateRate(60);
  m_DevW = bb_graphics_DeviceWidth();
  m_DevH = bb_graphics_DeviceHeight();
  if (bb_GW_HasMusic == 1) p_MusicCreate();
  m_AccelZeroX = 0;
  m_AccelZeroY = 0;
  p_Reload();
  m_GameType = 2;
  m_MenuSlide = -32;
  m_Paused = 0;
  m_PauseDir = -1;
  m_PauseY = -64;
  for (m_I = 0; m_I < 15; ++m_I) {
    m_BadgeQueue[m_I] = 0;
    m_BadgeTime[m_I] = 0;
  }
  for (m_I = 0; m_I < 128; ++m_I) m_BadgeGot[m_I] = false;
  for (m_I = 0; m_I < 19; ++m_I) m_VKey[m_I] = 0;
  for (m_I = 0; m_I < 25; ++m_I) m_Settings[m_I] = 0;
  m_Settings[5] = 1;
  for (m_I = 0; m_I < 241; ++m_I) m_Scores[m_I] = 0;
  p_Load();
  for (m_I = 0; m_I < 33; ++m_I) m_SfxChannel[m_I] = m_I;
  return 0;
}

// Slides a box's counter toward 30 while it is open and toward 0 while it is closed.
static void bbSlide(int open, int& counter) {
  if (open == 0 && counter > 0) {
    --counter;
  } else if (open == 1 && counter < 30) {
    ++counter;
  }
}

int c_MyApp::p_OnUpdate() {
  if (m_SaveCursor >= 0) p_SaveExtra();
  m_VKey[19] = bb_input_KeyHit(KEY_BACK);
  if (bb_GW_isOuya == 1) m_VKey[19] = bb_input_KeyHit(270) > 0 ? 1 : 0;

  if (bb_input_KeyHit(112)) bb_GW_DebugMode = 1 - bb_GW_DebugMode;
  if (bb_input_KeyHit(113)) m_HideHud = 1 - m_HideHud;
  if (bb_input_KeyHit(122)) p_FullscreenFlip();
  if (bb_input_KeyHit(115) || bb_input_KeyHit(KEY_CLOSE)) p_Quit();

  bb_asyncevent_UpdateAsyncEvents();
  if (bb_GW_HasMusicStream == 1) p_UpdateTune();

  int t = bb_app_Millisecs();
  if (t > m_LastUpdateMs) m_UpdFps = 1000 / (t - m_LastUpdateMs);
  m_UpdFpsAvg = (9 * m_UpdFpsAvg + m_UpdFps) / 10;
  m_LastUpdateMs = bb_app_Millisecs();
  if (bb_GW_HasMusic == 1) p_MusicUpdate();

  p_UpdatePointer();
  p_UpdateKeyLatch();

  if (m_LoadStep == 0) {
    switch (m_Mode) {
      case 1:
        p_Menu();
        bbStartupMark("title menu");
        break;
      case 2:
        p_LoadMenu();
        p_PlaySFX2(96, 1);
        m_Mode = 1;
        break;
      case 4: p_OuyaQuit(); break;
      case 5: p_WaitStart(0); break;
      case 10:
        p_Game();
        p_InGame();
        break;
      case 11: p_LoadGame(); break;
    }
    if ((m_Mode == 10 && m_GameOver > 0) || m_Mode == 1 || m_Mode == 2) p_GameOver();
    if (m_Mode == 1 && (m_ShowCredits == 1 || m_CreditsSlide > 0)) {
      p_CreditBox();
      bbSlide(m_ShowCredits, m_CreditsSlide);
    }
    if (m_Mode == 1 && m_ShowBadges == 1) p_BadgesBox();
    if (m_ShowOptions == 1 || m_OptionsSlide > 0) {
      p_OptionBox();
      bbSlide(m_ShowOptions, m_OptionsSlide);
    }
  }
  if (m_LoadStep > 0) p_Loader();

  p_ReadICade();
  p_ReleasePad();
  if (bb_GW_OnScreenControls == 1 && m_Mode > 5 && bb_GW_iCadeControls == 0 && m_Settings[15] == 1)
    p_OnScreenPad();
  if (bb_GW_AccelerometerControls == 1 && bb_GW_iCadeControls == 0) {
    p_Tilt();
  } else if (bb_GW_iCadeControls == 1) {
    m_TiltX = m_TiltY = m_TiltShowX = m_TiltShowY = 0;
  }

  if (bb_GW_DebugMode == 1 && m_Mode != 5) {
    p_ResetDraw();
    String line = String(m_FpsAvg) + String(":") + String(m_ScaleX) + String(",") + String(m_ScaleY);
    float y = bb_GW_jscrh - 16;
    if (bb_GW_AccelerometerControls == 1 && bb_GW_iCadeControls == 0) y = bb_GW_jscrh * 0.5f;
    p_Text(16, y, line, 0, 0);
  }
  p_ShowBadges();
  return 0;
}

// Leaving or entering the window: a game in progress comes back with its pause menu open.
void c_MyApp::p_ApplyFocusPause() {
  if (m_Mode < 10) {
    m_Paused = 0;
    m_PauseDir = 0;
    m_PauseY = 0;
  } else {
    m_Paused = 1;
    m_PauseDir = 1;
    m_PauseY = static_cast<int>(bb_GW_jscrh * 0.5f);
  }
}

int c_MyApp::p_OnSuspend() {
  bb_input_DisableKeyboard();
  bb_GW_iCadeControls = 0;
  for (m_I = 0; m_I < 19; ++m_I) m_VKey[m_I] = 0;
  p_ApplyFocusPause();
  bb_app_SetUpdateRate(5);
  // No updates run while suspended, and the host may end the program from there: the save is
  // written at once.
  p_Save();
  p_FinishSave();
  return 0;
}

// Closing the window quits as F4 does: a save still running is written out first.
int c_MyApp::p_OnClose() { p_Quit(); }

int c_MyApp::p_OnResume() {
  p_ApplyFocusPause();
  bb_app_SetUpdateRate(60);
  bb_input_DisableKeyboard();
  bb_GW_iCadeControls = 0;
  for (m_I = 0; m_I < 19; ++m_I) m_VKey[m_I] = 0;
  return 0;
}

int c_MyApp::p_FullscreenFlip() {
  BBGlfwGame::_glfwGame->FullscreenFlip(&m_Fullscreen);
  return 0;
}
