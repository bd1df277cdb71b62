// music_stream.cpp: the streamed tune's decoder, its queue of buffers and the refill.
#include "music_stream.h"

#include <algorithm>

#include "runtime/host/game.h"

namespace {

// No piece shorter than this, whatever the rate.
constexpr int kMinPieceFrames = 256;

}  // namespace

BBMusicStream* BBMusicStream::Open(String path, bool loop) {
  BBGlfwGame* host = BBGlfwGame::_glfwGame;
  std::FILE* file = host ? host->OpenFile(path, String("rb")) : nullptr;
  if (!file) return nullptr;
  BBMusicStream* music = new BBMusicStream;
  music->file_ = file;
  music->loop_ = loop;
  BBOggDecoder& ogg = music->decoder_;
  if (!ogg.Open(file) || ogg.Channels() > 2) {
    delete music;
    return nullptr;
  }
  music->format_ = ogg.Channels() == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
  int frames = std::max(kMinPieceFrames, ogg.Hertz() / kPiecesPerSecond);
  music->piece_.resize(size_t(frames) * size_t(ogg.Channels()));
  alGenBuffers(kBuffers, music->buffers_);
  music->idle_.assign(music->buffers_, music->buffers_ + kBuffers);
  for (int i = 0; i < kStartPieces && music->Fill(music->idle_.back()); ++i) {
    music->ready_.push_back(music->idle_.back());
    music->idle_.pop_back();
  }
  if (music->ready_.empty()) {
    delete music;
    return nullptr;
  }
  return music;
}

BBMusicStream::~BBMusicStream() {
  if (source_) {
    alSourceStop(source_);
    alSourcei(source_, AL_BUFFER, 0);
  }
  alDeleteBuffers(kBuffers, buffers_);
  std::fclose(file_);
}

bool BBMusicStream::Fill(ALuint buffer) {
  if (finished_) return false;
  const long want = long(piece_.size()) / decoder_.Channels();
  long frames = 0;
  bool rewound = false;
  while (frames < want) {
    long n = decoder_.Read(piece_.data() + frames * decoder_.Channels(), want - frames);
    frames += n;
    if (frames == want) break;
    // The stream has ended. A looping tune goes on from its start, unless damage ended it or it
    // has no frames at all.
    if (!loop_ || decoder_.Damaged() || (rewound && n == 0) || !decoder_.Rewind()) {
      finished_ = true;
      break;
    }
    rewound = true;
  }
  if (frames == 0) return false;
  alBufferData(buffer, format_, piece_.data(), ALsizei(frames * decoder_.Channels() * 2), decoder_.Hertz());
  return true;
}

void BBMusicStream::Start(ALuint source) {
  source_ = source;
  for (ALuint buffer : ready_) alSourceQueueBuffers(source_, 1, &buffer);
  ready_.clear();
  alSourcePlay(source_);
}

ALint BBMusicStream::State() {
  ALint state = AL_STOPPED;
  alGetSourcei(source_, AL_SOURCE_STATE, &state);
  return state;
}

void BBMusicStream::Play() {
  if (State() != AL_STOPPED) {
    alSourcePlay(source_);
    return;
  }
  // It ran dry: all it held has played, though a stopped source need not count it as processed.
  Reclaim(AL_BUFFERS_QUEUED);
  if (QueueNext()) alSourcePlay(source_);
}

void BBMusicStream::Reclaim(ALenum which) {
  ALint count = 0;
  alGetSourcei(source_, which, &count);
  for (; count > 0; --count) {
    ALuint buffer = 0;
    alSourceUnqueueBuffers(source_, 1, &buffer);
    idle_.push_back(buffer);
  }
}

bool BBMusicStream::QueueNext() {
  if (idle_.empty() || !Fill(idle_.back())) return false;
  alSourceQueueBuffers(source_, 1, &idle_.back());
  idle_.pop_back();
  return true;
}

void BBMusicStream::Pump(bool play) {
  if (!source_) return;
  if (State() == AL_STOPPED) {
    if (play) Play();
    return;
  }
  Reclaim(AL_BUFFERS_PROCESSED);
  QueueNext();  // one piece a call keeps the call short; the queue holds many calls' worth of sound
}

bool BBMusicStream::Ended() {
  ALint queued = 0;
  alGetSourcei(source_, AL_BUFFERS_QUEUED, &queued);
  // Without an output nothing is ever queued, and nothing plays.
  return State() == AL_STOPPED && (finished_ || queued == 0);
}
