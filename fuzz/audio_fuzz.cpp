// audio_fuzz.cpp: a sound file reader on arbitrary files: the RIFF/WAVE reader (fuzz_wave), or the
// Ogg Vorbis decoder when built with FUZZ_OGG (fuzz_ogg).
//
// Promises checked: a decoded block holds whole frames of at least one channel and byte, and every
// byte of it is readable. A WAVE block is all read from the file (never more bytes than it has);
// an Ogg block has 16-bit samples, at most 255 channels and a positive rate, within the cap.
#include "fuzz_support.h"
#include "runtime/audio/audio_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = bbFuzzOpen(data, size);
  FUZZ_CHECK(file != nullptr);
  int length = -1, channels = -1, format = -1, hertz = -1;
#ifdef FUZZ_OGG
  unsigned char* block = LoadOGG(file, &length, &channels, &format, &hertz);
#else
  unsigned char* block = LoadWAV(file, &length, &channels, &format, &hertz);
#endif
  std::fclose(file);
  if (!block) return 0;
  FUZZ_CHECK(length >= 0 && channels >= 1 && format >= 1 && hertz >= 0);
  const size_t bytes = size_t(length) * size_t(channels) * size_t(format);
#ifdef FUZZ_OGG
  FUZZ_CHECK(format == 2 && channels <= 255 && hertz > 0 && bytes <= size_t(kMaxDecodedAudioBytes));
#else
  FUZZ_CHECK(bytes <= size);
#endif
  // The device reads every byte of the frames; so does this.
  unsigned sum = 0;
  for (size_t i = 0; i < bytes; ++i) sum += block[i];
  volatile unsigned sink = sum;
  (void)sink;
  std::free(block);
  return 0;
}
