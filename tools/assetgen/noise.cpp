// Hashes, a seeded generator and lattice noises.
#include "noise.h"

#include <cmath>

namespace assetgen {

uint32_t hash32(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

uint32_t hash2(int x, int y, uint32_t seed) {
  return hash32(static_cast<uint32_t>(x) * 0x8da6b343U ^ hash32(static_cast<uint32_t>(y) * 0xd8163841U ^ seed));
}

float hashFloat(int x, int y, uint32_t seed) {
  return static_cast<float>(hash2(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

uint32_t Rng::next() {
  s_ ^= s_ << 13;
  s_ ^= s_ >> 17;
  s_ ^= s_ << 5;
  return s_;
}

float Rng::uniform() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }

float Rng::range(float lo, float hi) { return lo + (hi - lo) * uniform(); }

int Rng::below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<uint32_t>(n)); }

namespace {
int wrap(int i, int period) {
  if (period <= 0) return i;
  const int m = i % period;
  return m < 0 ? m + period : m;
}
float fade(float t) { return t * t * (3.0f - 2.0f * t); }
}  // namespace

float valueNoise(float x, float y, uint32_t seed, int period) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  const float tx = fade(x - fx), ty = fade(y - fy);
  const float a = hashFloat(wrap(ix, period), wrap(iy, period), seed);
  const float b = hashFloat(wrap(ix + 1, period), wrap(iy, period), seed);
  const float c = hashFloat(wrap(ix, period), wrap(iy + 1, period), seed);
  const float d = hashFloat(wrap(ix + 1, period), wrap(iy + 1, period), seed);
  const float ab = a + (b - a) * tx, cd = c + (d - c) * tx;
  return ab + (cd - ab) * ty;
}

float fbm(float x, float y, uint32_t seed, int octaves, float gain, int period, float finest) {
  float sum = 0.0f, amp = 1.0f, norm = 0.0f, freq = 1.0f;
  for (int i = 0; i < octaves; ++i) {
    if (1.0f / freq < finest && i > 0) break;
    sum += amp * valueNoise(x * freq, y * freq, seed + static_cast<uint32_t>(i) * 7919u,
                            period > 0 ? period * static_cast<int>(freq) : 0);
    norm += amp;
    amp *= gain;
    freq *= 2.0f;
  }
  return sum / norm;
}

Cell cellular(float x, float y, uint32_t seed, int period) {
  const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  Cell best{1e9f, 1e9f, 0};
  for (int j = -1; j <= 1; ++j) {
    for (int i = -1; i <= 1; ++i) {
      const int cx = ix + i, cy = iy + j;
      const int wx = wrap(cx, period), wy = wrap(cy, period);
      const uint32_t h = hash2(wx, wy, seed);
      const float px = static_cast<float>(cx) + 0.15f + 0.7f * static_cast<float>(h & 0xffff) / 65535.0f;
      const float py = static_cast<float>(cy) + 0.15f + 0.7f * static_cast<float>(h >> 16) / 65535.0f;
      const float d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
      if (d < best.d1) {
        best.d2 = best.d1;
        best.d1 = d;
        best.id = h;
      } else if (d < best.d2) {
        best.d2 = d;
      }
    }
  }
  return best;
}

}  // namespace assetgen
