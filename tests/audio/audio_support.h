// audio_support.h: what the audio tests share: sound files made by real encoders in a scratch
// folder, OpenAL Soft's loopback output rendered on demand, and measures of the rendered mix.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <string>
#include <vector>

#include "runtime/audio/device.h"

// A scratch folder, removed with everything in it when the value goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  const std::string& Dir() const { return dir_; }

 private:
  std::string dir_;
};

// Runs a shell command (sox, oggenc); false when it fails.
bool RunTool(const std::string& command);
std::vector<unsigned char> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
// Offset of a chunk's tag inside a RIFF file, or -1.
long FindChunk(const std::vector<unsigned char>& riff, const char* tag);
void PutU32(std::vector<unsigned char>& bytes, size_t at, unsigned value);

// The bytes requested by the largest malloc or realloc since the last reset (the test program
// wraps both).
size_t LargestAllocation();
void ResetLargestAllocation();

// A stereo float mix rendered by the loopback device at kRate frames per second.
struct Mix {
  std::vector<float> left, right;
};
double Rms(const std::vector<float>& samples);
// Frequency of the dominant tone, from the spacing of upward zero crossings; 0 for silence.
double Frequency(const std::vector<float>& samples, int rate);

// A gxtkAudio over OpenAL Soft's loopback output: nothing is heard, and sources advance only as
// far as the test renders, so every result is exact and repeatable. Rendering refills the
// streamed tune every sixtieth of a second, as the host's updates do, unless told not to.
class LoopbackAudio {
 public:
  static constexpr int kRate = 44100;
  LoopbackAudio();
  gxtkAudio* audio = nullptr;
  // Renders the next frames of the mix.
  Mix Render(int frames, bool pump = true);
  Mix RenderSeconds(double seconds, bool pump = true) { return Render(int(seconds * kRate), pump); }

 private:
  ALCdevice* device_ = nullptr;
};

// A full collection as the host runs it: the roots, all marking and a sweep. Garbage waits in the
// free list; no test allocates after sweeping, so nothing is destroyed.
void FullCollection();
// True when the last sweep found p unreachable.
bool Reclaimed(const void* p);
// Starts a fresh heap for the next test, leaving this test's objects behind undestroyed.
void ForgetAllObjects();
