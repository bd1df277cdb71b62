// sound.cpp: numbered sound effects on rotating channels, and one tune per level.
#include "game/app.h"

namespace {

// Effects play when the sound setting is "SFX + Music" (1) or "SFX" (2); tunes with 1 or "Music" (3).
bool EffectsOn(int setting) { return setting == 1 || setting == 2; }
bool MusicOn(int setting) { return setting == 1 || setting == 3; }

}  // namespace

int c_MyApp::p_LoadSFX(int n) {
  // There are 100 effect slots; a number beyond them has nowhere to go.
  if (n < 0 || n >= m_Sfx.Length()) return 0;
  String prefix = n < 10 ? String("sfx/00") : n <= 99 ? String("sfx/0") : String("sfx/");
  gc_assign(m_Sfx[n], bb_audio_LoadSound(prefix + String(n) + String(".wav")));
  return 0;
}

int c_MyApp::p_PlaySFX(int n, float rate, float volume, float pan) {
  if (!EffectsOn(m_Settings[5])) return 0;
  m_SfxSlot = (m_SfxSlot + 1) % kSfxSlots;
  int channel = m_SfxChannel[m_SfxSlot];
  bb_audio_StopChannel(channel);
  c_Sound* sound = n >= 0 && n < m_Sfx.Length() ? m_Sfx[n] : nullptr;
  if (sound && sound->m_sample) bb_audio_PlaySound(sound, channel, 0);
  bb_audio_SetChannelRate(channel, rate);
  bb_audio_SetChannelVolume(channel, volume);
  bb_audio_SetChannelPan(channel, pan);
  return 0;
}

int c_MyApp::p_PlayTune(String name, int flags) {
  // The procedural player, where it is on, is the only music.
  if (bb_GW_HasMusicStream != 1) return 0;
  String path = String("sfx/") + name + String(".ogg");
  if (m_TunePlaying != 0) {
    bb_audio_StopMusic();
    m_TunePlaying = 0;
  }
  if (MusicOn(m_Settings[5])) {
    bb_audio_PlayMusic(path, flags);
    bb_audio_SetMusicVolume(0.75f);
    m_TunePlaying = 1;
  }
  return 0;
}

int c_MyApp::p_StopTune() {
  bb_audio_StopMusic();
  m_TunePlaying = 0;
  return 0;
}

int c_MyApp::p_UpdateTune() {
  if (m_TunePlaying != 1) return 0;
  if (m_Paused != 0) {
    bb_audio_PauseMusic();
  } else {
    bb_audio_ResumeMusic();
  }
  return 0;
}
