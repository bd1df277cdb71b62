// level_info.h: a level generated through the game's own code and written out as one JSON object,
// for previewing and sharing levels and for checking the generator.
//
// Depends on: the game's application object. Must not touch: the window, drawing or sound.
#pragma once

#include <string>

class c_MyApp;

// Generates level `level` of game type `type` (1-12) from `seedBase` in app, running all three
// stages as the level screen would, and describes the result.
std::string bbInspectLevel(c_MyApp* app, int type, int level, int seedBase);
