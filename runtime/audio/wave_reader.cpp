// wave_reader.cpp: the RIFF/WAVE reader for uncompressed PCM.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "audio_data.h"

namespace {

// Little-endian reads from the file, each failing at the end of the file.
class WaveInput {
 public:
  explicit WaveInput(std::FILE* file) : file_(file) {}

  bool Tag(char tag[4]) { return std::fread(tag, 1, 4, file_) == 4; }
  bool U16(uint32_t* value) {
    unsigned char b[2];
    if (std::fread(b, 1, 2, file_) != 2) return false;
    *value = b[0] | (uint32_t(b[1]) << 8);
    return true;
  }
  bool U32(uint32_t* value) {
    unsigned char b[4];
    if (std::fread(b, 1, 4, file_) != 4) return false;
    *value = b[0] | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
    return true;
  }
  // Bytes between the read position and the end of the file, -1 when unknown.
  long Left() const {
    long at = std::ftell(file_);
    return at < 0 || at > size_ ? -1 : size_ - at;
  }
  bool Skip(uint32_t bytes) { return std::fseek(file_, long(bytes), SEEK_CUR) == 0; }
  // Measures the file and rewinds it; false when it cannot be measured.
  bool Start() {
    if (std::fseek(file_, 0, SEEK_END) != 0) return false;
    size_ = std::ftell(file_);
    return size_ >= 0 && std::fseek(file_, 0, SEEK_SET) == 0;
  }
  // True when a chunk body of this many bytes fits in what is left of the file.
  bool Fits(uint32_t bytes) const {
    long left = Left();
    return left >= 0 && uint64_t(bytes) <= uint64_t(left);
  }
  std::FILE* File() const { return file_; }

 private:
  std::FILE* file_;
  long size_ = 0;
};

bool Is(const char tag[4], const char* expected) { return std::memcmp(tag, expected, 4) == 0; }

}  // namespace

unsigned char* LoadWAV(std::FILE* file, int* length, int* channels, int* format, int* hertz) {
  WaveInput in(file);
  if (!in.Start()) return nullptr;
  char tag[4];
  uint32_t riffSize;
  if (!in.Tag(tag) || !Is(tag, "RIFF") || !in.U32(&riffSize)) return nullptr;
  if (!in.Tag(tag) || !Is(tag, "WAVE")) return nullptr;
  if (!in.Tag(tag) || !Is(tag, "fmt ")) return nullptr;

  uint32_t fmtSize, audioFormat, channelCount, sampleRate, byteRate, blockAlign, bits;
  // A format chunk shorter than its 16 fixed bytes would have us read into the next chunk.
  if (!in.U32(&fmtSize) || fmtSize < 16 || !in.Fits(fmtSize)) return nullptr;
  if (!in.U16(&audioFormat) || !in.U16(&channelCount) || !in.U32(&sampleRate) ||
      !in.U32(&byteRate) || !in.U16(&blockAlign) || !in.U16(&bits)) {
    return nullptr;
  }
  if (audioFormat != 1) return nullptr;  // compressed or extensible formats
  if (sampleRate > uint32_t(INT_MAX)) return nullptr;
  uint32_t bytesPerSample = bits / 8;
  uint32_t frameSize = channelCount * bytesPerSample;
  if (frameSize == 0) return nullptr;  // no channels, or fewer than 8 bits: no defined length
  if (fmtSize > 16 && !in.Skip(fmtSize - 16)) return nullptr;

  unsigned char* data = nullptr;
  uint32_t dataSize = 0;
  while (!data) {
    uint32_t chunkSize;
    if (!in.Tag(tag) || !in.U32(&chunkSize)) return nullptr;
    // Checked before anything is allocated: a header may claim up to 4 GiB.
    if (!in.Fits(chunkSize)) return nullptr;
    if (!Is(tag, "data")) {
      if (!in.Skip(chunkSize)) return nullptr;
      // RIFF pads an odd-sized chunk with a zero byte, which some writers leave out. A tag never
      // begins with 0, so a zero here is the pad and anything else is the next tag.
      if (chunkSize & 1) {
        int c = std::fgetc(in.File());
        if (c != 0 && c != EOF) std::ungetc(c, in.File());
      }
      continue;
    }
    if (chunkSize > uint32_t(INT_MAX)) return nullptr;
    data = static_cast<unsigned char*>(std::malloc(chunkSize ? chunkSize : 1));
    if (!data) return nullptr;
    if (std::fread(data, 1, chunkSize, in.File()) != chunkSize) {
      // The file shrank under us; the next tag read meets its end.
      std::free(data);
      data = nullptr;
      continue;
    }
    dataSize = chunkSize;
  }
  *length = int(dataSize / frameSize);
  *channels = int(channelCount);
  *format = int(bytesPerSample);
  *hertz = int(sampleRate);
  return data;
}
