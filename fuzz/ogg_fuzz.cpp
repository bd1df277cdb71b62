// ogg_fuzz.cpp: the Ogg Vorbis decoding path on arbitrary files.
//
// Promises checked: a decoded stream has 1 to 255 channels, a positive rate, 16-bit frames within
// the output cap, and every sample of the block is readable.
#include "fuzz_support.h"
#include "runtime/audio/audio_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = bbFuzzOpen(data, size);
  FUZZ_CHECK(file != nullptr);
  int length = -1, channels = -1, format = -1, hertz = -1;
  unsigned char* block = LoadOGG(file, &length, &channels, &format, &hertz);
  std::fclose(file);
  if (!block) return 0;
  FUZZ_CHECK(format == 2);
  FUZZ_CHECK(channels >= 1 && channels <= 255);
  FUZZ_CHECK(hertz > 0);
  FUZZ_CHECK(length >= 0);
  long bytes = long(length) * channels * 2;
  FUZZ_CHECK(bytes <= kMaxDecodedAudioBytes);
  unsigned sum = 0;
  for (long i = 0; i < bytes; ++i) sum += block[i];
  volatile unsigned sink = sum;
  (void)sink;
  std::free(block);
  return 0;
}
