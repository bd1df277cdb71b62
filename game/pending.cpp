// pending.cpp: screens and systems whose code is still being written elsewhere. Each entry
// leaves as its real implementation lands; this file goes when it is empty.
#include "game/app.h"

// ----- menus, options, pause, game over
int c_MyApp::p_Menu() { return 0; }
int c_MyApp::p_GameOver() { return 0; }
int c_MyApp::p_OuyaQuit() { return 0; }
int c_MyApp::p_OptionBox() { return 0; }
int c_MyApp::p_PauseMenu() { return 0; }

// ----- quest, badges, credits
int c_MyApp::p_CreditBox() { return 0; }
int c_MyApp::p_BadgesBox() { return 0; }
int c_MyApp::p_ShowBadges() { return 0; }

// ----- saving
int c_MyApp::p_Load() { return 0; }
int c_MyApp::p_Save() { return 0; }
int c_MyApp::p_SaveExtra() { return 0; }

// ----- procedural music
int c_MyApp::p_MusicRender() { return 0; }
