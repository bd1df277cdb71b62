// audio_support.h: what the audio tests share (the music tests borrow it too): sound files made by
// real encoders in the scratch folder, OpenAL Soft's loopback output rendered on demand, measures
// of the mix, and the collector's verdict on an object. File helpers come from the graphics tests.
#pragma once

#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/audio/sound.h"
#include "tests/graphics/graphics_support.h"

namespace bbtest {

// Runs a shell command (sox, oggenc, vorbiscomment); false when it fails.
inline bool Run(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

// A half-volume sine made by sox in the scratch folder, in the format the options give; its path.
inline std::string Sine(const std::string& name, int rate, const std::string& options, const std::string& length,
                        int hertz = 440) {
  const std::string path = ScratchFolder() + name;
  EXPECT_TRUE(Run("sox -r " + std::to_string(rate) + " -n " + options + " " + path + " synth " + length + " sine " +
                  std::to_string(hertz) + " vol 0.5"));
  return path;
}

// The WAVE file encoded by oggenc beside it; its path.
inline std::string Ogg(const std::string& wav) {
  const std::string ogg = wav.substr(0, wav.size() - 3) + "ogg";
  EXPECT_TRUE(Run("oggenc -Q -o " + ogg + " " + wav));
  return ogg;
}

inline double Rms(const std::vector<float>& samples) {
  double sum = 0;
  for (float s : samples) sum += double(s) * s;
  return samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
}

// Frequency of the dominant tone, from the count of upward zero crossings (give or take one).
inline double Frequency(const std::vector<float>& samples, int rate) {
  int crossings = 0;
  for (size_t i = 1; i < samples.size(); ++i) crossings += samples[i - 1] < 0 && samples[i] >= 0;
  return samples.empty() ? 0 : crossings * double(rate) / double(samples.size());
}

// A stretch of stereo mix.
struct Mix {
  std::vector<float> left, right;
};

// OpenAL Soft's loopback output under a device of class D, installed as the audio module's device
// for as long as it lives. Nothing is heard, and sources advance only as far as the test renders,
// so every result is exact and repeatable.
template <class D = gxtkAudio>
class Loopback {
 public:
  static constexpr int kRate = 44100;
  Loopback() {
    auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    if (!open || !(device_ = open(nullptr))) std::abort();
    // Plain stereo: no head-related filtering and no limiter between the sources and the samples.
    const ALCint attributes[] = {ALC_FREQUENCY, kRate, ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT,
                                 ALC_FLOAT_SOFT, ALC_HRTF_SOFT, ALC_FALSE, ALC_OUTPUT_LIMITER_SOFT, ALC_FALSE, 0};
    audio = new D(device_, attributes);
    gxtkAudio::discarded.clear();
    bb_audio_SetAudioDevice(audio);
  }
  ~Loopback() {
    bb_audio_device = nullptr;
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(audio->alcContext);
    alcCloseDevice(device_);
  }

  // The next frames of the mix. Rendering refills the streamed tune every sixtieth of a second, as
  // the host's updates do, unless told not to.
  Mix Frames(int frames, bool pump = true) {
    auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(device_, "alcRenderSamplesSOFT"));
    std::vector<float> interleaved(size_t(frames) * 2);
    for (int done = 0, step = kRate / 60; done < frames; done += step) {
      if (pump) audio->PumpMusic();
      render(device_, interleaved.data() + size_t(done) * 2, std::min(step, frames - done));
    }
    Mix mix;
    for (int i = 0; i < frames; ++i) {
      mix.left.push_back(interleaved[size_t(i) * 2]);
      mix.right.push_back(interleaved[size_t(i) * 2 + 1]);
    }
    return mix;
  }
  // The next stretch of the mix; skip drops its first frames (the fade in of what just started).
  Mix Render(double seconds, int skip = 0, bool pump = true) {
    Mix mix = Frames(int(seconds * kRate), pump);
    mix.left.erase(mix.left.begin(), mix.left.begin() + skip);
    mix.right.erase(mix.right.begin(), mix.right.begin() + skip);
    return mix;
  }

  D* audio = nullptr;

 private:
  ALCdevice* device_ = nullptr;
};

// A full collection as the host runs it: the roots, all marking and a sweep. Garbage waits in the
// free list; no test allocates after sweeping, so nothing is destroyed.
inline void FullCollection() {
  gc_mark();
  gc_mark_queued(0x7fffffff);
  gc_sweep();
}

// True when the last sweep found p unreachable.
inline bool Reclaimed(const void* p) {
  for (const gc_object* q = gc_free_list.succ; q != &gc_free_list; q = q->succ) {
    if (q == p) return true;
  }
  return false;
}

}  // namespace bbtest
