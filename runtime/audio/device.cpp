// device.cpp: the OpenAL device, its channels and samples, and the discarded-buffer list.
#include "device.h"

#include <cmath>
#include <cstdlib>

#include "audio_data.h"
#include "music_stream.h"
#include "runtime/host/error.h"
#include "runtime/host/game.h"

std::vector<ALuint> gxtkAudio::discarded;
bool gxtkAudio::decodeMusicWhole = false;

// ---------------------------------------------------------------------------------------------
// Samples and channels

gxtkSample::~gxtkSample() {
  if (buffer) gxtkAudio::discarded.push_back(buffer);
}

void gxtkSample::Discard() {
  if (!buffer) return;
  gxtkAudio::discarded.push_back(buffer);
  buffer = 0;
}

ALuint gxtkChannel::AL_Source() {
  if (!source) alGenSources(1, &source);
  return source;
}

// ---------------------------------------------------------------------------------------------
// The device

gxtkAudio::gxtkAudio() {
  alcDevice = alcOpenDevice(nullptr);
  Open(nullptr);
}

gxtkAudio::gxtkAudio(ALCdevice* device, const ALCint* attributes) {
  alcDevice = device;
  Open(attributes);
}

gxtkAudio::~gxtkAudio() { CloseMusic(); }

void gxtkAudio::Open(const ALCint* attributes) {
  if (!alcDevice) {
    bbPrint(String("OpenAl error: alcOpenDevice failed"));
  } else {
    alcContext = alcCreateContext(alcDevice, attributes);
    if (!alcContext) {
      bbPrint(String("OpenAl error: alcCreateContext failed"));
    } else if (!alcMakeContextCurrent(alcContext)) {
      bbPrint(String("OpenAl error: alcMakeContextCurrent failed"));
    }
  }
  alDistanceModel(AL_NONE);
  for (gxtkChannel& channel : channels) channel = gxtkChannel();
}

ALint gxtkAudio::SourceState(int channel) {
  // Without a context OpenAL answers nothing: nothing can be playing then.
  ALint state = AL_STOPPED;
  alGetSourcei(channels[channel].source, AL_SOURCE_STATE, &state);
  return state;
}

bool gxtkAudio::Ended(int channel) {
  if (channel == kMusicChannel && music_) return music_->Ended();
  return SourceState(channel) == AL_STOPPED;
}

void gxtkAudio::mark() {
  for (int i = 0; i < kChannels; ++i) {
    if (channels[i].state != 0 && SourceState(i) != AL_STOPPED) gc_mark_q(channels[i].sample);
  }
}

void gxtkAudio::FlushDiscarded() {
  if (discarded.empty()) return;
  for (int i = 0; i < kChannels; ++i) {
    // A streamed tune's buffers are its own, and a source that ran dry still needs them.
    if (i == kMusicChannel && music_) continue;
    if (channels[i].state != 0 && SourceState(i) == AL_STOPPED) {
      alSourcei(channels[i].source, AL_BUFFER, 0);
    }
  }
  std::vector<ALuint> kept;
  for (ALuint buffer : discarded) {
    // An error left by an earlier call must not be taken for this deletion's failure.
    alGetError();
    alDeleteBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR) kept.push_back(buffer);
  }
  discarded.swap(kept);
}

void gxtkAudio::Close() {
  if (alcContext) {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(alcContext);
    alcContext = nullptr;
  }
  if (alcDevice) alcCloseDevice(alcDevice);
  alcDevice = nullptr;
}

void gxtkAudio::Suspend() {
  suspended_ = true;
  for (int i = 0; i < kChannels; ++i) {
    if (channels[i].state == 1 && SourceState(i) == AL_PLAYING) alSourcePause(channels[i].source);
  }
}

void gxtkAudio::Resume() {
  suspended_ = false;
  for (int i = 0; i < kChannels; ++i) {
    if (channels[i].state == 1 && SourceState(i) == AL_PAUSED) alSourcePlay(channels[i].source);
  }
}

gxtkSample* gxtkAudio::LoadSample__UNSAFE__(gxtkSample* sample, String path) {
  int length = 0, channelCount = 0, format = 0, hertz = 0;
  BBGlfwGame* host = BBGlfwGame::_glfwGame;
  unsigned char* data = host ? host->LoadAudioData(path, &length, &channelCount, &format, &hertz) : nullptr;
  if (!data) return nullptr;
  ALenum alFormat = 0;
  if (format == 1 && channelCount == 1) alFormat = AL_FORMAT_MONO8;
  if (format == 1 && channelCount == 2) alFormat = AL_FORMAT_STEREO8;
  if (format == 2 && channelCount == 1) alFormat = AL_FORMAT_MONO16;
  if (format == 2 && channelCount == 2) alFormat = AL_FORMAT_STEREO16;
  ALuint buffer = 0;
  alGenBuffers(1, &buffer);
  alBufferData(buffer, alFormat, data, length * channelCount * format, hertz);
  std::free(data);
  sample->SetBuffer(buffer);
  return sample;
}

gxtkSample* gxtkAudio::LoadSample(String path) {
  FlushDiscarded();
  return LoadSample__UNSAFE__(new gxtkSample, path);
}

void gxtkAudio::PlaySample(gxtkSample* sample, int channel, int flags) {
  FlushDiscarded();
  if (channel == kMusicChannel) CloseMusic();
  gxtkChannel& chan = channels[channel];
  ALuint source = chan.AL_Source();
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, ALint(sample->buffer));
  alSourcei(source, AL_LOOPING, flags ? 1 : 0);
  alSourcePlay(source);
  gc_assign(chan.sample, sample);
  chan.flags = flags;
  chan.state = 1;
}

void gxtkAudio::StopChannel(int channel) {
  if (channel == kMusicChannel) CloseMusic();
  gxtkChannel& chan = channels[channel];
  if (chan.state == 0) return;
  alSourceStop(chan.source);
  chan.state = 0;
}

void gxtkAudio::PauseChannel(int channel) {
  gxtkChannel& chan = channels[channel];
  if (chan.state != 1) return;
  if (Ended(channel)) {
    chan.state = 0;
  } else {
    alSourcePause(chan.source);
    chan.state = 2;
  }
}

void gxtkAudio::ResumeChannel(int channel) {
  gxtkChannel& chan = channels[channel];
  if (chan.state != 2) return;
  if (channel == kMusicChannel && music_) {
    music_->Play();
  } else {
    alSourcePlay(chan.source);
  }
  chan.state = 1;
}

int gxtkAudio::ChannelState(int channel) {
  gxtkChannel& chan = channels[channel];
  if (chan.state == 1 && Ended(channel)) chan.state = 0;
  return chan.state;
}

void gxtkAudio::SetVolume(int channel, float volume) {
  alSourcef(channels[channel].AL_Source(), AL_GAIN, volume);
}

void gxtkAudio::SetPan(int channel, float pan) {
  alSource3f(channels[channel].AL_Source(), AL_POSITION, std::sin(pan), 0.0f, -std::cos(pan));
}

void gxtkAudio::SetRate(int channel, float rate) {
  alSourcef(channels[channel].AL_Source(), AL_PITCH, rate);
}

int gxtkAudio::PlayMusic(String path, int flags) {
  StopMusic();
  if (decodeMusicWhole || !bbPathEndsWith(path, ".ogg")) {
    gxtkSample* whole = LoadSample(path);
    if (!whole) return -1;
    PlaySample(whole, kMusicChannel, flags);
    return 0;
  }
  BBMusicStream* music = BBMusicStream::Open(path, flags != 0);
  if (!music) return -1;
  gxtkChannel& chan = channels[kMusicChannel];
  ALuint source = chan.AL_Source();
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, 0);
  // The stream loops the tune itself; a looping source would repeat its queue instead.
  alSourcei(source, AL_LOOPING, 0);
  music->Start(source);
  music_ = music;
  chan.sample = nullptr;
  chan.flags = flags;
  chan.state = 1;
  return 0;
}

void gxtkAudio::PumpMusic() {
  if (!music_) return;
  music_->Pump(channels[kMusicChannel].state == 1 && !suspended_);
  // The ended tune's decoder and buffers go; the stopped source then reports the end.
  if (music_->Ended()) CloseMusic();
}

void gxtkAudio::CloseMusic() {
  delete music_;
  music_ = nullptr;
}

void gxtkAudio::StopMusic() { StopChannel(kMusicChannel); }
void gxtkAudio::PauseMusic() { PauseChannel(kMusicChannel); }
void gxtkAudio::ResumeMusic() { ResumeChannel(kMusicChannel); }
int gxtkAudio::MusicState() { return ChannelState(kMusicChannel); }
void gxtkAudio::SetMusicVolume(float volume) { SetVolume(kMusicChannel, volume); }
