// sound.cpp: the audio module's functions over the one device.
#include "sound.h"

#include "runtime/services/files.h"

gxtkAudio* bb_audio_device = nullptr;

c_Sound* c_Sound::m_new(gxtkSample* sample) {
  gc_assign(m_sample, sample);
  return this;
}

void c_Sound::mark() { gc_mark_q(m_sample); }

int bb_audio_SetAudioDevice(gxtkAudio* device) {
  gc_assign(bb_audio_device, device);
  return 0;
}

c_Sound* bb_audio_LoadSound(String path) {
  gxtkSample* sample = bb_audio_device->LoadSample(bb_data_FixDataPath(path));
  if (!sample) return nullptr;
  return (new c_Sound)->m_new(sample);
}

int bb_audio_PlaySound(c_Sound* sound, int channel, int flags) {
  if (sound && sound->m_sample) bb_audio_device->PlaySample(sound->m_sample, channel, flags);
  return 0;
}

int bb_audio_StopChannel(int channel) {
  bb_audio_device->StopChannel(channel);
  return 0;
}

int bb_audio_SetChannelVolume(int channel, float volume) {
  bb_audio_device->SetVolume(channel, volume);
  return 0;
}

int bb_audio_SetChannelPan(int channel, float pan) {
  bb_audio_device->SetPan(channel, pan);
  return 0;
}

int bb_audio_SetChannelRate(int channel, float rate) {
  bb_audio_device->SetRate(channel, rate);
  return 0;
}

int bb_audio_PlayMusic(String path, int flags) {
  return bb_audio_device->PlayMusic(bb_data_FixDataPath(path), flags);
}

int bb_audio_StopMusic() {
  bb_audio_device->StopMusic();
  return 0;
}

int bb_audio_PauseMusic() {
  bb_audio_device->PauseMusic();
  return 0;
}

int bb_audio_ResumeMusic() {
  bb_audio_device->ResumeMusic();
  return 0;
}

int bb_audio_SetMusicVolume(float volume) {
  bb_audio_device->SetMusicVolume(volume);
  return 0;
}
