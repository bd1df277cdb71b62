// ogg_reader.cpp: whole-stream Ogg Vorbis decoding through libvorbisfile.
//
// The stream is read front to back (no seeking, so opening never scans the file) and decoded
// into 16-bit interleaved frames. Only the first logical stream is decoded: a chained stream whose
// next link has another format would change the frames' meaning halfway, so decoding ends there.
#include <climits>
#include <cstdint>
#include <cstdlib>

#include <vorbis/vorbisfile.h>

#include "audio_data.h"

namespace {

// Room kept free before each read: more than one Vorbis packet can yield for every channel.
constexpr long kFramesPerRead = 4096;

size_t ReadFile(void* into, size_t size, size_t count, void* file) {
  return std::fread(into, size, count, static_cast<std::FILE*>(file));
}

}  // namespace

unsigned char* LoadOGG(std::FILE* file, int* length, int* channels, int* format, int* hertz) {
  // No seek, close or tell: the stream is read once, and the caller closes the file.
  ov_callbacks callbacks = {ReadFile, nullptr, nullptr, nullptr};
  OggVorbis_File vorbis;
  if (ov_open_callbacks(file, &vorbis, nullptr, 0, callbacks) != 0) return nullptr;
  vorbis_info* info = ov_info(&vorbis, -1);
  if (!info || info->channels < 1 || info->rate < 1 || info->rate > INT_MAX) {
    ov_clear(&vorbis);
    return nullptr;
  }
  const long ch = info->channels;
  const long rate = info->rate;

  // Decode straight into a block that doubles whenever fewer than kFramesPerRead frames of room
  // are left after what is already decoded.
  const long frameBytes = 2 * ch;
  long limit = kFramesPerRead * frameBytes;  // in bytes
  long used = 0;
  char* data = static_cast<char*>(std::malloc(size_t(limit)));
  int firstLink = -1;
  while (data) {
    int link = 0;
    long n = ov_read(&vorbis, data + used, int(limit - used), 0, 2, 1, &link);
    if (n == OV_HOLE) continue;  // a gap in the pages: the stream goes on after it
    if (n <= 0) break;           // the end, or damage that ends the stream
    if (firstLink < 0) firstLink = link;
    if (link != firstLink) break;  // the next link of a chained stream
    used += n;
    if (used + kFramesPerRead * frameBytes > limit) {
      limit *= 2;
      char* grown = nullptr;
      if (limit <= kMaxDecodedAudioBytes) grown = static_cast<char*>(std::realloc(data, size_t(limit)));
      if (!grown) std::free(data);
      data = grown;
    }
  }
  ov_clear(&vorbis);
  if (!data) return nullptr;
  *length = int(used / frameBytes);
  *channels = int(ch);
  *format = 2;
  *hertz = int(rate);
  return reinterpret_cast<unsigned char*>(data);
}
