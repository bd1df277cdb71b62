// device.h: gxtkAudio, the one audio output, with its 33 channels, and gxtkSample, a sound held
// in an OpenAL buffer.
//
// Channels 0 to 31 play samples; channel 32 plays music: an Ogg Vorbis tune streamed through a
// short queue of buffers (music_stream.h) that PumpMusic keeps filled, any other file loaded
// whole like a sample. Each channel is one OpenAL source, made when first needed and kept. The
// device keeps its own state per channel (stopped, playing, paused) and asks OpenAL where a sound
// may have ended by itself. Discarded samples give their buffers to a list that is emptied before
// every play and load, once no source holds them any more. A sample stays alive while a channel
// plays it.
// Depends on: OpenAL, the object runtime, the host (sound files, status lines).
// Must not touch: the decoders' internals, game state. Main thread only, except
// LoadSample__UNSAFE__, which may run on a loading thread.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <vector>

#include "runtime/object/object.h"

class BBMusicStream;

class gxtkSample : public Object {
 public:
  gxtkSample() {}
  explicit gxtkSample(ALuint buffer) : buffer(buffer) {}
  // A sample reclaimed by the collector gives its buffer back the way Discard does.
  ~gxtkSample() override;

  void SetBuffer(ALuint name) { buffer = name; }
  // Hands the buffer to the discarded list; it is deleted once no source holds it.
  virtual void Discard();

  ALuint buffer = 0;  // OpenAL buffer name, 0 when the sample has none
};

// One channel: a plain record inside the device.
struct gxtkChannel {
  ALuint source = 0;             // made on first need, then kept
  gxtkSample* sample = nullptr;  // the sample last started here
  int flags = 0;                 // flags of the last PlaySample; non-zero loops
  int state = 0;                 // 0 stopped, 1 playing, 2 paused

  // The channel's source, made now if it has none yet.
  ALuint AL_Source();
};

class gxtkAudio : public Object {
 public:
  static constexpr int kChannels = 33;
  static constexpr int kMusicChannel = 32;

  // Opens the default output. Without one it prints an "OpenAl error: ..." line and carries on
  // silently: every later call then reaches OpenAL without a context and does nothing.
  gxtkAudio();
  // Adopts an output already opened (a loopback device, for instance), creating its context with
  // the given attributes (may be null).
  gxtkAudio(ALCdevice* device, const ALCint* attributes);
  ~gxtkAudio() override;
  // Keeps alive the sample of every channel that OpenAL has not seen finish.
  void mark() override;

  // Pauses, at the OpenAL level only, the channels that are playing; their state is unchanged.
  virtual void Suspend();
  // Resumes what Suspend paused; channels the game paused stay paused.
  virtual void Resume();
  // Decodes a file into the sample's buffer; null if it cannot be decoded. Touches no channel.
  virtual gxtkSample* LoadSample__UNSAFE__(gxtkSample* sample, String path);
  virtual gxtkSample* LoadSample(String path);
  // Starts the sample on the channel, cutting whatever played there; flags non-zero loops.
  virtual void PlaySample(gxtkSample* sample, int channel, int flags);
  virtual void StopChannel(int channel);
  virtual void PauseChannel(int channel);
  virtual void ResumeChannel(int channel);
  // 0 stopped, 1 playing, 2 paused; a sound that has ended is seen as stopped here.
  virtual int ChannelState(int channel);
  // Gain: 1 is full volume.
  virtual void SetVolume(int channel, float volume);
  // Pan as an angle in radians on the circle in front of the listener: 0 ahead, -1 left, 1 right.
  virtual void SetPan(int channel, float pan);
  // Pitch: 1 is normal speed, 2 an octave up.
  virtual void SetRate(int channel, float rate);
  // Plays a tune on the music channel, once or (flags non-zero) looping: an Ogg Vorbis file is
  // streamed once its first pieces decode, any other file loaded whole. 0, or -1 when it cannot
  // be decoded; the previous tune is stopped either way.
  virtual int PlayMusic(String path, int flags);
  virtual void StopMusic();
  virtual void PauseMusic();
  virtual void ResumeMusic();
  virtual int MusicState();
  virtual void SetMusicVolume(float volume);

  // Refills the streamed tune's queue by one piece, restarts its source should it have run dry,
  // and lets the tune go once it has ended. The application layer calls it once per update.
  void PumpMusic();

  // Deletes the discarded buffers that no source holds any more; keeps the others for later.
  void FlushDiscarded();
  // Closes the context and the output, so that the output finishes what it plays (the wave
  // writer writes its header's lengths); nothing sounds through the device afterwards.
  void Close();

  // Buffer names of discarded samples that may still be attached to a source.
  static std::vector<ALuint> discarded;
  // For the benchmarks' comparison only: PlayMusic decodes an Ogg tune whole, as it once did.
  static bool decodeMusicWhole;

  ALCdevice* alcDevice = nullptr;
  ALCcontext* alcContext = nullptr;
  gxtkChannel channels[kChannels];

 private:
  void Open(const ALCint* attributes);
  // OpenAL's own state of the channel's source.
  ALint SourceState(int channel);
  // True when what the channel played has ended by itself (for a streamed tune, its last frame).
  bool Ended(int channel);
  // Stops the streamed tune, if any, and frees its decoder and buffers.
  void CloseMusic();

  BBMusicStream* music_ = nullptr;  // the streamed tune on the music channel, or null
  bool suspended_ = false;          // between Suspend and Resume: a tune that ran dry waits
};
