// audio_support.cpp: the audio test programs are linked with --wrap=malloc and --wrap=realloc, so
// every allocation the decoders make passes through here and the largest is noted.
#include <atomic>
#include <cstddef>

#include "audio_support.h"

namespace {
std::atomic<size_t> largest{0};
void Note(size_t size) {
  size_t seen = largest.load();
  while (size > seen && !largest.compare_exchange_weak(seen, size)) {
  }
}
}  // namespace

extern "C" {
void* __real_malloc(size_t size);
void* __real_realloc(void* p, size_t size);
void* __wrap_malloc(size_t size) {
  Note(size);
  return __real_malloc(size);
}
void* __wrap_realloc(void* p, size_t size) {
  Note(size);
  return __real_realloc(p, size);
}
}

size_t bbtest::LargestAllocation() { return largest.load(); }
void bbtest::ResetLargestAllocation() { largest = 0; }
