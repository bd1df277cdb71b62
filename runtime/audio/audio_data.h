// audio_data.h: sound files decoded into blocks of interleaved PCM frames for the audio device.
//
// RIFF/WAVE files holding uncompressed PCM are read by a small reader of our own; Ogg Vorbis files
// are decoded whole with libvorbisfile. The host's LoadAudioData (declared with the host object)
// picks the decoder by the file's extension. A decoded block is malloc'd; the receiver frees it.
// Every function returns null, quietly, for a file it cannot decode: a truncated or hostile file
// never makes it read past the file, allocate more than the file can fill, or loop without end.
// Depends on: the C library, libvorbisfile, the collector's force-sweep flag.
// Must not touch: OpenAL (the device does), the device's channels (so it may run on a loader thread).
#pragma once

#include <cstdio>

#include "runtime/object/string.h"

// Most bytes one decoded sound may take (about 25 minutes of 44.1 kHz stereo). A stream that would
// decode to more is refused instead of growing without bound.
constexpr long kMaxDecodedAudioBytes = 256L * 1024 * 1024;

// Reads a RIFF/WAVE file from its start. The format chunk must come first and hold PCM; other
// chunks before the data chunk are skipped. Results: *length frames of *channels samples of
// *format bytes (1: unsigned 8-bit, 2: signed 16-bit little-endian) at *hertz.
// A chunk that claims more bytes than the file has left, or a format whose frame size is 0,
// gives null before anything is allocated.
unsigned char* LoadWAV(std::FILE* file, int* length, int* channels, int* format, int* hertz);

// True when the path ends in ext (given in lower case), ignoring the case of ASCII letters.
bool bbPathEndsWith(const String& path, const char* ext);

// Decodes an Ogg Vorbis stream from the file's current position into 16-bit interleaved frames
// (*format is 2), the first logical stream only; damage ends the stream, keeping what was decoded
// before it. The file stays open.
unsigned char* LoadOGG(std::FILE* file, int* length, int* channels, int* format, int* hertz);
