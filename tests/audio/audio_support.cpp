// audio_support.cpp: scratch files, the loopback output and measures of the mix.
#include "audio_support.h"

#include <AL/alext.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "runtime/object/gc.h"

// The test program is linked with --wrap=malloc and --wrap=realloc, so every allocation made by
// the static libraries under test passes through here.
namespace {
std::atomic<size_t> largest_allocation{0};
void Note(size_t size) {
  size_t seen = largest_allocation.load();
  while (size > seen && !largest_allocation.compare_exchange_weak(seen, size)) {
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

size_t LargestAllocation() { return largest_allocation.load(); }
void ResetLargestAllocation() { largest_allocation = 0; }

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zudodo-audio-XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  dir_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

bool RunTool(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

std::vector<unsigned char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

long FindChunk(const std::vector<unsigned char>& riff, const char* tag) {
  size_t at = 12;
  while (at + 8 <= riff.size()) {
    if (std::equal(tag, tag + 4, riff.begin() + long(at))) return long(at);
    size_t size = riff[at + 4] | riff[at + 5] << 8 | riff[at + 6] << 16 | size_t(riff[at + 7]) << 24;
    at += 8 + size + (size & 1);
  }
  return -1;
}

void PutU32(std::vector<unsigned char>& bytes, size_t at, unsigned value) {
  for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = static_cast<unsigned char>(value >> (8 * i));
}

double Rms(const std::vector<float>& samples) {
  double sum = 0;
  for (float s : samples) sum += double(s) * s;
  return samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
}

double Frequency(const std::vector<float>& samples, int rate) {
  double first = -1, last = -1;
  int crossings = 0;
  for (size_t i = 1; i < samples.size(); ++i) {
    float a = samples[i - 1], b = samples[i];
    if (a < 0 && b >= 0) {
      double t = double(i - 1) + double(-a) / double(b - a);
      if (first < 0) first = t;
      last = t;
      ++crossings;
    }
  }
  return crossings > 1 ? (crossings - 1) * double(rate) / (last - first) : 0;
}

LoopbackAudio::LoopbackAudio() {
  auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
      alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  if (!open) std::abort();
  device_ = open(nullptr);
  // Plain stereo: no head-related filtering and no limiter between the sources and the samples.
  const ALCint attributes[] = {ALC_FREQUENCY, kRate, ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
                               ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT, ALC_HRTF_SOFT, ALC_FALSE,
                               ALC_OUTPUT_LIMITER_SOFT, ALC_FALSE, 0};
  audio = new gxtkAudio(device_, attributes);
}

Mix LoopbackAudio::Render(int frames, bool pump) {
  auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(
      alcGetProcAddress(device_, "alcRenderSamplesSOFT"));
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

void FullCollection() {
  gc_mark();
  gc_mark_queued(0x7fffffff);
  gc_sweep();
}

bool Reclaimed(const void* p) {
  for (const gc_object* q = gc_free_list.succ; q != &gc_free_list; q = q->succ) {
    if (q == p) return true;
  }
  return false;
}

void ForgetAllObjects() {
  gc_clear_roots();
  gc_init();
}
