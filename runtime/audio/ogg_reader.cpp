// ogg_reader.cpp: whole-stream Ogg Vorbis decoding through stb_vorbis.
//
// stb_vorbis trusts the lengths in the comment header (a hostile one makes it allocate gigabytes
// or dereference null while cleaning up) and allocates what the setup header asks for. So the
// comment header is checked here first, and the decoder works inside one arena of fixed size.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "audio_data.h"

#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

namespace {

// Room kept free before each decode: the most frames one Vorbis packet can yield.
constexpr long kFramesPerDecode = 4096;
// All the decoder's own memory; streams from common encoders need a few hundred KiB.
constexpr int kDecoderArenaBytes = 4 * 1024 * 1024;

// Reads the second packet of the stream's first logical bitstream (the comment header) from the
// file's current position; false when the pages around it are damaged.
bool ReadCommentPacket(std::FILE* file, std::vector<unsigned char>* packet) {
  int index = 0;  // packet being read
  for (;;) {
    unsigned char header[27];
    if (std::fread(header, 1, 27, file) != 27) return false;
    if (header[0] != 'O' || header[1] != 'g' || header[2] != 'g' || header[3] != 'S' || header[4] != 0) {
      return false;
    }
    unsigned char lacing[255];
    int segments = header[26];
    if (std::fread(lacing, 1, size_t(segments), file) != size_t(segments)) return false;
    for (int s = 0; s < segments; ++s) {
      unsigned char bytes[255];
      if (std::fread(bytes, 1, lacing[s], file) != lacing[s]) return false;
      if (index == 1) packet->insert(packet->end(), bytes, bytes + lacing[s]);
      if (lacing[s] < 255) {
        if (index == 1) return true;
        ++index;
      }
    }
  }
}

// True when every length in a comment header stays inside the packet.
bool CommentLengthsFit(const std::vector<unsigned char>& packet) {
  size_t at = 7;  // packet type and "vorbis"
  auto u32 = [&](uint32_t* value) {
    if (packet.size() - at < 4) return false;
    *value = packet[at] | uint32_t(packet[at + 1]) << 8 | uint32_t(packet[at + 2]) << 16 |
             uint32_t(packet[at + 3]) << 24;
    at += 4;
    return true;
  };
  uint32_t length, count;
  if (packet.size() < at || !u32(&length) || length > packet.size() - at) return false;
  at += length;
  if (!u32(&count) || count > (packet.size() - at) / 4) return false;
  for (uint32_t i = 0; i < count; ++i) {
    if (!u32(&length) || length > packet.size() - at) return false;
    at += length;
  }
  return true;
}

}  // namespace

unsigned char* LoadOGG(std::FILE* file, int* length, int* channels, int* format, int* hertz) {
  long start = std::ftell(file);
  std::vector<unsigned char> comments;
  if (start < 0 || !ReadCommentPacket(file, &comments) || !CommentLengthsFit(comments)) return nullptr;
  if (std::fseek(file, start, SEEK_SET) != 0) return nullptr;

  stb_vorbis_alloc arena;
  arena.alloc_buffer_length_in_bytes = kDecoderArenaBytes;
  arena.alloc_buffer = static_cast<char*>(std::malloc(kDecoderArenaBytes));
  if (!arena.alloc_buffer) return nullptr;
  int error = 0;
  stb_vorbis* vorbis = stb_vorbis_open_file(file, 0, &error, &arena);
  if (!vorbis) {
    std::free(arena.alloc_buffer);
    return nullptr;
  }
  stb_vorbis_info info = stb_vorbis_get_info(vorbis);
  long ch = info.channels;
  if (info.sample_rate > 0x7fffffffu) {
    stb_vorbis_close(vorbis);
    std::free(arena.alloc_buffer);
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
  std::free(arena.alloc_buffer);
  if (!data) return nullptr;
  *length = int(frames);
  *channels = int(ch);
  *format = 2;
  *hertz = int(info.sample_rate);
  return reinterpret_cast<unsigned char*>(data);
}
