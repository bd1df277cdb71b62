// ogg_reader.cpp: whole-stream Ogg Vorbis decoding through stb_vorbis.
#include <cstdlib>

#include "audio_data.h"

#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

namespace {

// Room kept free before each decode: the most frames one Vorbis packet can yield.
constexpr long kFramesPerDecode = 4096;

}  // namespace

unsigned char* LoadOGG(std::FILE* file, int* length, int* channels, int* format, int* hertz) {
  int error = 0;
  stb_vorbis* vorbis = stb_vorbis_open_file(file, 0, &error, nullptr);
  if (!vorbis) return nullptr;
  stb_vorbis_info info = stb_vorbis_get_info(vorbis);
  long ch = info.channels;
  if (ch <= 0 || info.sample_rate == 0 || info.sample_rate > 0x7fffffffu) {
    stb_vorbis_close(vorbis);
    return nullptr;
  }

  // Decode straight into a block that doubles whenever fewer than kFramesPerDecode frames of
  // room are left after what is already decoded.
  long limit = kFramesPerDecode * ch;  // in 16-bit samples
  long used = 0;
  long frames = 0;
  short* data = static_cast<short*>(std::malloc(size_t(limit) * sizeof(short)));
  while (data) {
    int n = stb_vorbis_get_frame_short_interleaved(vorbis, int(ch), data + used, int(limit - used));
    if (n == 0) break;
    frames += n;
    used += n * ch;
    if (used + kFramesPerDecode * ch > limit) {
      limit *= 2;
      short* grown = nullptr;
      if (limit * long(sizeof(short)) <= kMaxDecodedAudioBytes) {
        grown = static_cast<short*>(std::realloc(data, size_t(limit) * sizeof(short)));
      }
      if (!grown) std::free(data);
      data = grown;
    }
  }
  stb_vorbis_close(vorbis);
  if (!data) return nullptr;
  *length = int(frames);
  *channels = int(ch);
  *format = 2;
  *hertz = int(info.sample_rate);
  return reinterpret_cast<unsigned char*>(data);
}
