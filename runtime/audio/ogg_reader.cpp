// ogg_reader.cpp: Ogg Vorbis decoding through libvorbisfile, a piece at a time or the whole stream.
#include <climits>
#include <cstdint>
#include <cstdlib>

#include <vorbis/vorbisfile.h>

#include "audio_data.h"
#include "ogg_decoder.h"

namespace {

// Room kept free before each read of the whole-stream loader: more than one Vorbis packet can
// yield for every channel.
constexpr long kFramesPerRead = 4096;

size_t ReadFile(void* into, size_t size, size_t count, void* file) {
  return std::fread(into, size, count, static_cast<std::FILE*>(file));
}

}  // namespace

BBOggDecoder::~BBOggDecoder() { Close(); }

void BBOggDecoder::Close() {
  if (!vorbis_) return;
  ov_clear(vorbis_);
  delete vorbis_;
  vorbis_ = nullptr;
}

bool BBOggDecoder::Open(std::FILE* file) {
  Close();
  file_ = file;
  start_ = std::ftell(file);
  link_ = -1;
  ended_ = damaged_ = false;
  // No seek, close or tell: the stream is read once, and the caller closes the file.
  ov_callbacks callbacks = {ReadFile, nullptr, nullptr, nullptr};
  vorbis_ = new OggVorbis_File;
  if (ov_open_callbacks(file, vorbis_, nullptr, 0, callbacks) != 0) {
    delete vorbis_;  // a failed open has cleared what it had set up
    vorbis_ = nullptr;
    return false;
  }
  vorbis_info* info = ov_info(vorbis_, -1);
  if (!info || info->channels < 1 || info->rate < 1 || info->rate > INT_MAX) {
    Close();
    return false;
  }
  channels_ = info->channels;
  hertz_ = int(info->rate);
  return true;
}

long BBOggDecoder::Read(short* into, long frames) {
  const long frameBytes = 2L * channels_;
  long bytes = frames * frameBytes, used = 0;
  char* out = reinterpret_cast<char*>(into);
  while (vorbis_ && !ended_ && used < bytes) {
    int link = 0;
    long want = bytes - used > INT_MAX ? INT_MAX : bytes - used;
    long n = ov_read(vorbis_, out + used, int(want), 0, 2, 1, &link);
    if (n == OV_HOLE) continue;  // a gap in the pages: the stream goes on after it
    if (link_ < 0) link_ = link;
    if (n <= 0 || link != link_) {  // the end, damage, or the next link of a chained stream
      ended_ = true;
      damaged_ = n < 0;
      break;
    }
    used += n;
  }
  return used / frameBytes;
}

bool BBOggDecoder::Rewind() {
  if (!file_ || start_ < 0 || std::fseek(file_, start_, SEEK_SET) != 0) return false;
  const int channels = channels_, hertz = hertz_;
  // The same file must give the same stream, or the frames queued so far would change meaning.
  return Open(file_) && channels_ == channels && hertz_ == hertz;
}

unsigned char* LoadOGG(std::FILE* file, int* length, int* channels, int* format, int* hertz) {
  BBOggDecoder ogg;
  if (!ogg.Open(file)) return nullptr;
  const long ch = ogg.Channels();

  // Decode straight into a block that doubles whenever fewer than kFramesPerRead frames of room
  // are left after what is already decoded.
  const long frameBytes = 2 * ch;
  long limit = kFramesPerRead * frameBytes;  // in bytes
  long used = 0;
  char* data = static_cast<char*>(std::malloc(size_t(limit)));
  while (data) {
    long n = ogg.Read(reinterpret_cast<short*>(data + used), (limit - used) / frameBytes);
    if (n <= 0) break;
    used += n * frameBytes;
    if (used + kFramesPerRead * frameBytes > limit) {
      limit *= 2;
      char* grown = nullptr;
      if (limit <= kMaxDecodedAudioBytes) grown = static_cast<char*>(std::realloc(data, size_t(limit)));
      if (!grown) std::free(data);
      data = grown;
    }
  }
  if (!data) return nullptr;
  *length = int(used / frameBytes);
  *channels = int(ch);
  *format = 2;
  *hertz = ogg.Hertz();
  return reinterpret_cast<unsigned char*>(data);
}
