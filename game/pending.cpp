// pending.cpp: screens and systems whose code is still being written elsewhere. Each entry
// leaves as its real implementation lands; this file goes when it is empty.
#include "game/app.h"

// ----- levels and play
int c_MyApp::p_GetLevel() { return 0; }
int c_MyApp::p_Game() { return 0; }
