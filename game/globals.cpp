// globals.cpp: the game module's globals and their start values.
#include "globals.h"

#include "credits.h"
#include "game/music/demo_song.h"
#include "runtime/object/gc.h"

int bb_GW_isOuya = 0;
float bb_GW_overscan = 0;
int bb_GW_HasMusic = 0;
int bb_GW_HasMusicStream = 1;
int bb_GW_DebugMode = 0;
int bb_GW_iCadeControls = 0;
int bb_GW_OnScreenControls = 0;
int bb_GW_AccelerometerControls = 0;
float bb_GW_rawscrw = 640, bb_GW_rawscrh = 480;
float bb_GW_jscrw = 640, bb_GW_jscrh = 480;
Array<String> bb_GW_CreditText;

void bbGameInit() {
  bb_GW_isOuya = 0;
  bb_GW_overscan = 0;
  // The procedural build plays the demo song in place of the streamed tunes.
  bb_GW_HasMusic = BBKxDemoSong::kHasMusic;
  bb_GW_DebugMode = 0;
  bb_GW_rawscrw = 640;
  bb_GW_rawscrh = 480;
  bb_GW_jscrw = 640;
  bb_GW_jscrh = 480;
  bb_GW_iCadeControls = 0;
  bb_GW_HasMusicStream = 1 - BBKxDemoSong::kHasMusic;
  bb_GW_OnScreenControls = 0;
  gc_assign(bb_GW_CreditText, bbCreditLines());
  bb_GW_AccelerometerControls = 0;
  gc_add_root([] { gc_mark_q(bb_GW_CreditText); });
}
