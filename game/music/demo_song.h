// demo_song.h: the demo song that the procedural-music build plays in place of the Ogg tunes.
//
// With GARVOLIN_PROCEDURAL_MUSIC the game sets bb_GW_HasMusic from BBKxDemoSong::kHasMusic at
// start-up and, once its player has been initialised, starts the demo song on it. The song image and the
// instruments are made by the asset generator ("music/demo.png", "inst/*.wav").
// Depends on: the music player. Must not touch: the game's other state.
#pragma once

#include "kx_player.h"

// What the demo song is made of.
struct BBKxDemoSong {
  // 1 in the build that plays it (the game's bb_GW_HasMusic), else 0.
#ifdef GARVOLIN_PROCEDURAL_MUSIC
  static constexpr int kHasMusic = 1;
#else
  static constexpr int kHasMusic = 0;
#endif
  static constexpr const char* kImage = "music/demo.png";
  // Drum kit A, drum kit B, lead, accompaniment, bass.
  static constexpr int kInstruments[5] = {1, 2, 1, 1, 1};
  static constexpr int kSeed = 2413;
  // One root per bar, then random progressions.
  static constexpr const char* kChords = "qqbj ";
};

// Points the player at the demo song and starts it: it loads over the next rendered frames and
// plays once loading is done.
int bb_music_StartDemoSong(c_KxPlayer* player);
