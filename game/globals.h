// globals.h: the game module's globals, fixed at start-up unless a screen changes them.
//
// Depends on: the object runtime. Must not touch: anything else.
#pragma once

#include "runtime/object/array.h"

extern int bb_GW_isOuya;                 // 0: not running on that console
extern float bb_GW_overscan;             // border in window pixels kept free at the sides
extern int bb_GW_HasMusic;               // 1 when the procedural music player supplies the music
extern int bb_GW_HasMusicStream;         // 1: music is streamed from the Ogg tunes
extern int bb_GW_DebugMode;              // toggled by F1: shows the frame-rate line
extern int bb_GW_iCadeControls;          // 1 while the iCade joystick drives the game
extern int bb_GW_OnScreenControls;       // 1 when the game was started by pointer or touch
extern int bb_GW_AccelerometerControls;  // tilt control; 0 on the desktop
extern float bb_GW_rawscrw, bb_GW_rawscrh;  // the design screen, 640 x 480
extern float bb_GW_jscrw, bb_GW_jscrh;      // the part of the design plane visible in the window
extern Array<String> bb_GW_CreditText;      // the credits box's lines

// Sets every game-module global to its start value and adds the module's collector roots.
void bbGameInit();
