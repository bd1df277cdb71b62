// fuzz_support.h: what every fuzz target shares: the entry points libFuzzer calls, an input as an
// open file, and a check that stops the run on a broken promise.
//
// A target is built twice: with libFuzzer (the fuzz preset, clang), and with replay.cpp, which
// feeds it every file of its corpus as an ordinary test in the other builds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

// The input as a read-only file positioned at its start (an empty input gives an empty file).
inline std::FILE* bbFuzzOpen(const uint8_t* data, size_t size) {
  if (size == 0) return std::tmpfile();
  return fmemopen(const_cast<uint8_t*>(data), size, "rb");
}

// A promise the input broke: say so where libFuzzer keeps the input, and stop.
#define FUZZ_CHECK(condition)                                                                   \
  ((condition) ? void()                                                                         \
               : (std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition), std::abort()))
