// music_stream.h: BBMusicStream, a tune decoded a little ahead of the music channel's source into
// a short queue of OpenAL buffers that the source plays in turn.
//
// Opening decodes the first pieces, so a file that does not decode is refused at once and the
// tune starts without waiting for the rest. After that each Pump takes back the buffers the
// source has finished and refills one of them, and starts the source again should it have run dry
// in between. A looping tune goes on from its first frame inside the piece that holds its last,
// so the join has no gap. Damage in the file ends the tune where it lies.
// Depends on: OpenAL, the Ogg decoder, the host (files).
// Must not touch: other sources than its own, the collector. Main thread only.
#pragma once

#include <AL/al.h>

#include <cstdio>
#include <vector>

#include "ogg_decoder.h"
#include "runtime/object/string.h"

class BBMusicStream {
 public:
  // Buffers in the queue and pieces per second of sound: 750 ms decoded ahead of the source.
  static constexpr int kBuffers = 6;
  static constexpr int kPiecesPerSecond = 8;
  // Pieces decoded before the tune starts.
  static constexpr int kStartPieces = 2;

  // Opens an Ogg Vorbis file of one or two channels and decodes its first pieces; null when it
  // cannot be opened or not one frame of it decodes.
  static BBMusicStream* Open(String path, bool loop);
  // Stops the source, takes the buffers off it and deletes them, and closes the file.
  ~BBMusicStream();
  BBMusicStream(const BBMusicStream&) = delete;
  BBMusicStream& operator=(const BBMusicStream&) = delete;

  // Queues the pieces decoded so far on the source, which must hold no buffer, and plays it.
  void Start(ALuint source);
  // Plays the source on: from where it was paused or, should it have run dry, from the next piece.
  void Play();
  // Takes back the buffers the source has played and decodes one piece into them. A source that
  // ran dry before the tune's end waits, or with `play` starts again.
  void Pump(bool play);
  // True once the tune has no frames left to queue and the source has played them all.
  bool Ended();

 private:
  BBMusicStream() = default;
  // Decodes the next piece into the buffer; false when the tune has no frames left.
  bool Fill(ALuint buffer);
  // Moves the buffers the source counts under `which` (played, or all queued) to the idle ones.
  void Reclaim(ALenum which);
  // Decodes the next piece into an idle buffer and queues it; false when none was queued.
  bool QueueNext();
  ALint State();

  std::FILE* file_ = nullptr;
  BBOggDecoder decoder_;
  bool loop_ = false;
  bool finished_ = false;  // the last frame has been decoded
  ALenum format_ = 0;
  ALuint source_ = 0;
  ALuint buffers_[kBuffers] = {};
  std::vector<ALuint> idle_;   // buffers off the queue, free to refill
  std::vector<ALuint> ready_;  // buffers decoded before Start, in playing order
  std::vector<short> piece_;   // one piece of interleaved frames
};
