// wave_fuzz.cpp: the RIFF/WAVE reader on arbitrary files.
//
// Promises checked: a decoded block holds whole frames of at least one channel and byte, all read
// from the file (never more bytes than the file has), and every byte of it is readable.
#include <cstring>

#include "fuzz_support.h"
#include "runtime/audio/audio_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = bbFuzzOpen(data, size);
  FUZZ_CHECK(file != nullptr);
  int length = -1, channels = -1, format = -1, hertz = -1;
  unsigned char* block = LoadWAV(file, &length, &channels, &format, &hertz);
  std::fclose(file);
  if (!block) return 0;
  FUZZ_CHECK(length >= 0 && channels >= 1 && format >= 1 && hertz >= 0);
  size_t bytes = size_t(length) * size_t(channels) * size_t(format);
  FUZZ_CHECK(bytes <= size);
  // The device reads every byte of the frames; so does this.
  unsigned sum = 0;
  for (size_t i = 0; i < bytes; ++i) sum += block[i];
  volatile unsigned sink = sum;
  (void)sink;
  std::free(block);
  return 0;
}
