// demo_song.cpp: starting the demo song.
#include "demo_song.h"

int bb_music_StartDemoSong(c_KxPlayer* player) {
  // From the top, with nothing left over from an earlier song: the seed alone decides the music.
  player->p_Kx_Stop(1);
  player->m_step = 0;
  player->m_section = 0;
  player->m_repeatsLeft = 0;
  for (int v = 0; v < 8; ++v) {
    player->m_patternCount[v] = 0;
    player->m_voicePattern[v] = 0;
    player->m_voiceMuted[v] = 0;
    player->m_voiceMutedNext[v] = 0;
    player->m_voiceLeadIn[v] = 0;
  }
  player->m_songPath = String(BBKxDemoSong::kImage);
  for (int i = 0; i < 5; ++i) player->m_instrument[i + 1] = BBKxDemoSong::kInstruments[i];
  player->m_songSeed = BBKxDemoSong::kSeed;
  player->m_chord = String(BBKxDemoSong::kChords);
  player->m_loadStep = 1;
  player->m_state = c_KxPlayer::kPlaying;
  return 0;
}
