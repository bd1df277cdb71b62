// music_hooks.cpp: the game's three turns for the procedural music player, used when
// bb_GW_HasMusic is 1 (the procedural-music build): set up and start the song at creation, tick
// the sequencer every update, and load its chunks at the start of every render.
#include "game/app.h"
#include "game/music/demo_song.h"

int c_MyApp::p_MusicCreate() {
  m_Music->p_Kx_Init(32, 4, 3, 3, 4);
  bb_music_StartDemoSong(m_Music);
  return 0;
}

int c_MyApp::p_MusicUpdate() {
  int musicOn = m_Settings[5] == 1 || m_Settings[5] == 3 ? 1 : 0;
  m_Music->p_Kx_Alive_U(m_Paused, musicOn);
  return 0;
}

int c_MyApp::p_MusicRender() {
  m_Music->p_Kx_Alive_R();
  return 0;
}
