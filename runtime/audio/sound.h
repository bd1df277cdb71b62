// sound.h: the audio module the game calls: c_Sound and the bb_audio_* functions.
//
// It maps asset names into the data folder, wraps loaded samples and forwards channel and music
// calls to the one audio device. A sound that failed to load is null and plays as silence.
// Depends on: the audio device, the data-path services.
// Must not touch: OpenAL directly, the decoders.
#pragma once

#include "device.h"
#include "runtime/object/object.h"

class c_Sound : public Object {
 public:
  c_Sound* m_new(gxtkSample* sample);
  c_Sound* m_new2() { return this; }
  void mark() override;

  gxtkSample* m_sample = nullptr;
};

// The device the module forwards to; set once when the game starts.
extern gxtkAudio* bb_audio_device;

int bb_audio_SetAudioDevice(gxtkAudio* device);
// A new sound from an asset name (or a path with a scheme), null when it cannot be loaded.
c_Sound* bb_audio_LoadSound(String path);
// Plays the sound on the channel; a null sound, or one without a sample, does nothing.
int bb_audio_PlaySound(c_Sound* sound, int channel, int flags);
int bb_audio_StopChannel(int channel);
int bb_audio_SetChannelVolume(int channel, float volume);
int bb_audio_SetChannelPan(int channel, float pan);
int bb_audio_SetChannelRate(int channel, float rate);
// 0, or -1 when the file cannot be loaded (the previous music has stopped either way).
int bb_audio_PlayMusic(String path, int flags);
int bb_audio_StopMusic();
int bb_audio_PauseMusic();
int bb_audio_ResumeMusic();
int bb_audio_SetMusicVolume(float volume);
