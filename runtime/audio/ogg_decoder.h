// ogg_decoder.h: an Ogg Vorbis stream decoded piece by piece into 16-bit interleaved frames.
//
// The stream is read front to back from an open file, without seeking, so opening never scans the
// file. Only the first logical stream is decoded: a chained stream whose next link has another
// format would change the frames' meaning halfway, so the stream ends there. A gap in the pages is
// skipped; damage ends the stream at the last frame decoded before it. The whole-file loader
// decodes a stream to its end; the music channel decodes a little ahead of what it plays.
// Depends on: libvorbisfile, the C library.
// Must not touch: OpenAL, the collector (so it may run on any thread that owns the file).
#pragma once

#include <cstdio>

struct OggVorbis_File;

class BBOggDecoder {
 public:
  BBOggDecoder() = default;
  ~BBOggDecoder();
  BBOggDecoder(const BBOggDecoder&) = delete;
  BBOggDecoder& operator=(const BBOggDecoder&) = delete;

  // Opens the stream at the file's current position: false when its headers do not decode. The
  // file stays the caller's and must stay open while the decoder is.
  bool Open(std::FILE* file);
  int Channels() const { return channels_; }
  int Hertz() const { return hertz_; }
  // Decodes up to `frames` frames into `into`, which has room for frames * Channels() samples.
  // Returns the frames decoded: fewer than asked only at the end of the stream, 0 after it.
  long Read(short* into, long frames);
  // True when the stream ended at damage rather than at its last page.
  bool Damaged() const { return damaged_; }
  // Opens the stream again at the position it was first opened at; false when it cannot be.
  bool Rewind();

 private:
  void Close();

  std::FILE* file_ = nullptr;
  long start_ = -1;  // the file position the stream starts at
  OggVorbis_File* vorbis_ = nullptr;
  int channels_ = 0;
  int hertz_ = 0;
  int link_ = -1;  // the logical stream being decoded, -1 before the first frame
  bool ended_ = false;
  bool damaged_ = false;
};
