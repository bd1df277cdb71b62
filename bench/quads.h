// quads.h: the shared workload of the quad benchmarks: one texture, 2,499 quads a frame at fixed
// pseudo-random positions in a 640 x 480 window, and a per-frame timer that reports the median.
// Every peer program draws exactly this, so their figures compare.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

namespace bbbench {

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
// The display list's worst case: every entry one textured quad.
constexpr int kQuadsPerFrame = 2499;

// size x size pixels as 0xAARRGGBB: a lit square with a checker inside and a half-transparent rim.
inline std::vector<uint32_t> TexturePixels(int size) {
  std::vector<uint32_t> pixels(static_cast<size_t>(size) * size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      bool rim = x == 0 || y == 0 || x == size - 1 || y == size - 1;
      bool check = ((x * 8 / size) + (y * 8 / size)) & 1;
      uint32_t rgb = check ? 0xF0C040u : 0x3060E0u;
      pixels[static_cast<size_t>(y) * size + x] = (rim ? 0x80000000u : 0xFF000000u) | rgb;
    }
  }
  return pixels;
}

struct Position {
  float x, y;
};

// kQuadsPerFrame top-left corners keeping a size x size quad inside the window.
inline std::vector<Position> QuadPositions(int size) {
  std::vector<Position> positions(kQuadsPerFrame);
  uint32_t seed = 20240601u;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed >> 8) / 16777216.0f;
  };
  for (Position& p : positions) {
    p.x = static_cast<float>(static_cast<int>(next() * static_cast<float>(kWindowWidth - size)));
    p.y = static_cast<float>(static_cast<int>(next() * static_cast<float>(kWindowHeight - size)));
  }
  return positions;
}

// Runs frame() for warm-up frames, then times frames until both minFrames have run and
// minSeconds have passed (or maxFrames ran); returns the median milliseconds per frame.
template <class Frame>
double MedianFrameMs(Frame frame, int warmup = 20, int minFrames = 40, int maxFrames = 400,
                     double minSeconds = 1.5) {
  using Clock = std::chrono::steady_clock;
  for (int i = 0; i < warmup; ++i) frame();
  std::vector<double> times;
  Clock::time_point start = Clock::now();
  while (static_cast<int>(times.size()) < maxFrames) {
    Clock::time_point t0 = Clock::now();
    frame();
    Clock::time_point t1 = Clock::now();
    times.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    double elapsed = std::chrono::duration<double>(t1 - start).count();
    if (static_cast<int>(times.size()) >= minFrames && elapsed >= minSeconds) break;
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Times several frame functions in turn, one frame of each per round, so that a machine whose
// load drifts during the run weighs on all of them alike; returns each one's median ms per frame.
inline std::vector<double> MedianFrameMsInterleaved(const std::vector<std::function<void()>>& frames,
                                                    int warmup = 10, int minRounds = 40,
                                                    int maxRounds = 400, double minSeconds = 3.0) {
  using Clock = std::chrono::steady_clock;
  for (const auto& frame : frames) {
    for (int i = 0; i < warmup; ++i) frame();
  }
  std::vector<std::vector<double>> times(frames.size());
  Clock::time_point start = Clock::now();
  for (int round = 0; round < maxRounds; ++round) {
    for (size_t k = 0; k < frames.size(); ++k) {
      Clock::time_point t0 = Clock::now();
      frames[k]();
      times[k].push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    if (round + 1 >= minRounds && elapsed >= minSeconds) break;
  }
  std::vector<double> medians;
  for (std::vector<double>& t : times) {
    std::sort(t.begin(), t.end());
    medians.push_back(t[t.size() / 2]);
  }
  return medians;
}

inline void Report(const char* name, double value) {
  std::printf("%s: %.4g\n", name, value);
  std::fflush(stdout);
}

}  // namespace bbbench
