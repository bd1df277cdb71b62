// Oscillators, envelopes and drum voices.
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace assetgen {
namespace {

constexpr float kTwoPi = 6.28318530718f;

// 15-bit LFSR noise, one step per call, output -1 or 1.
struct Lfsr {
  uint32_t s;
  explicit Lfsr(uint32_t seed) : s((seed & 0x7fff) ? (seed & 0x7fff) : 1) {}
  float step() {
    const uint32_t bit = (s ^ (s >> 1)) & 1u;
    s = (s >> 1) | (bit << 14);
    return (s & 1u) ? 1.0f : -1.0f;
  }
};

float envelope(const Note& n, float t) {
  if (t < n.attack) return t / n.attack;
  if (t < n.attack + n.decay) return 1.0f - (1.0f - n.sustain) * (t - n.attack) / n.decay;
  if (t < n.length) return n.sustain;
  const float r = (t - n.length) / n.release;
  return r >= 1.0f ? 0.0f : n.sustain * (1.0f - r) * (1.0f - r);
}

void ensure(std::vector<float>& out, size_t size) {
  if (out.size() < size) out.resize(size, 0.0f);
}

}  // namespace

float midiToHz(float midi) { return 440.0f * std::pow(2.0f, (midi - 69.0f) / 12.0f); }

size_t renderNote(std::vector<float>& out, size_t at, const Note& n, int rate) {
  const float total = n.length + n.release;
  const size_t count = static_cast<size_t>(total * static_cast<float>(rate));
  ensure(out, at + count);
  Lfsr noise(n.noiseSeed);
  float phase = 0.0f, noiseVal = noise.step(), noisePhase = 0.0f, lp = 0.0f;
  const float dt = 1.0f / static_cast<float>(rate);
  const float lpA = n.lowpass > 0.0f ? 1.0f - std::exp(-kTwoPi * n.lowpass * dt) : 1.0f;
  for (size_t i = 0; i < count; ++i) {
    const float t = static_cast<float>(i) * dt;
    float f = n.freq;
    if (n.freqEnd > 0.0f) {
      const float u = std::pow(std::min(1.0f, t / total), n.slideCurve);
      f = n.freq * std::pow(n.freqEnd / n.freq, u);
    }
    if (n.arpSpeed > 0.0f) {
      const int k = static_cast<int>(t / n.arpSpeed) % 3;
      f *= std::pow(2.0f, n.arpeggio[k] / 12.0f);
    }
    if (n.vibratoDepth > 0.0f && t > n.vibratoDelay) {
      const float ramp = std::min(1.0f, (t - n.vibratoDelay) / 0.15f);
      f *= std::pow(2.0f, ramp * n.vibratoDepth * std::sin(kTwoPi * n.vibratoRate * t) / 12.0f);
    }
    phase += f * dt;
    phase -= std::floor(phase);
    float v = 0.0f;
    switch (n.wave) {
      case Wave::Square: {
        const float duty = std::clamp(n.duty + n.dutySweep * t, 0.05f, 0.95f);
        v = phase < duty ? 0.8f : -0.8f;
        break;
      }
      case Wave::Triangle: v = phase < 0.5f ? 4.0f * phase - 1.0f : 3.0f - 4.0f * phase; break;
      case Wave::Saw: v = 2.0f * phase - 1.0f; break;
      case Wave::Sine: v = std::sin(kTwoPi * phase); break;
      case Wave::Noise: {
        noisePhase += (n.noiseRate > 0.0f ? n.noiseRate : f) * dt;
        while (noisePhase >= 1.0f) {
          noisePhase -= 1.0f;
          noiseVal = noise.step();
        }
        v = noiseVal * 0.7f;
        break;
      }
    }
    lp += (v - lp) * lpA;
    out[at + i] += lp * envelope(n, t) * n.volume;
  }
  return count;
}

void kick(std::vector<float>& out, size_t at, float volume, int rate) {
  const size_t count = static_cast<size_t>(0.22f * static_cast<float>(rate));
  ensure(out, at + count);
  float phase = 0.0f;
  const float dt = 1.0f / static_cast<float>(rate);
  for (size_t i = 0; i < count; ++i) {
    const float t = static_cast<float>(i) * dt;
    const float f = 45.0f + 140.0f * std::exp(-t * 28.0f);
    phase += f * dt;
    const float env = std::exp(-t * 14.0f) * std::min(1.0f, t * 800.0f);
    const float click = t < 0.004f ? (1.0f - t / 0.004f) * 0.4f : 0.0f;
    out[at + i] += (std::sin(kTwoPi * phase) * env + click) * volume;
  }
}

void snare(std::vector<float>& out, size_t at, float volume, int rate, uint32_t seed) {
  const size_t count = static_cast<size_t>(0.2f * static_cast<float>(rate));
  ensure(out, at + count);
  Lfsr noise(seed * 2654435761u + 99u);
  float phase = 0.0f, hp = 0.0f, prev = 0.0f;
  const float dt = 1.0f / static_cast<float>(rate);
  for (size_t i = 0; i < count; ++i) {
    const float t = static_cast<float>(i) * dt;
    phase += (180.0f + 60.0f * std::exp(-t * 40.0f)) * dt;
    const float n = noise.step();
    hp = 0.6f * (hp + n - prev);  // brighten the noise
    prev = n;
    const float tone = std::sin(kTwoPi * phase) * std::exp(-t * 30.0f) * 0.6f;
    const float rattle = hp * std::exp(-t * 16.0f) * 0.55f;
    out[at + i] += (tone + rattle) * volume * std::min(1.0f, t * 1000.0f);
  }
}

void hat(std::vector<float>& out, size_t at, float volume, int rate, bool open, uint32_t seed) {
  const float len = open ? 0.16f : 0.045f;
  const size_t count = static_cast<size_t>(len * static_cast<float>(rate));
  ensure(out, at + count);
  Lfsr noise(seed * 40503u + 7u);
  float hp = 0.0f, prev = 0.0f;
  const float dt = 1.0f / static_cast<float>(rate);
  for (size_t i = 0; i < count; ++i) {
    const float t = static_cast<float>(i) * dt;
    const float n = noise.step();
    hp = 0.35f * (hp + n - prev);
    prev = n;
    out[at + i] += hp * std::exp(-t * (open ? 18.0f : 70.0f)) * volume;
  }
}

void removeDc(std::vector<float>& buf, int rate) {
  const float k = std::exp(-kTwoPi * 20.0f / static_cast<float>(rate));
  float x1 = 0.0f, y1 = 0.0f;
  for (float& v : buf) {
    const float y = v - x1 + k * y1;
    x1 = v;
    y1 = y;
    v = y;
  }
}

void normalise(std::vector<float>& buf, float peak) {
  float m = 0.0f;
  for (float v : buf) m = std::max(m, std::fabs(v));
  if (m <= 0.0f) return;
  const float k = peak / m;
  for (float& v : buf) v *= k;
}

void fadeOut(std::vector<float>& buf, float fadeSeconds, int rate) {
  const size_t n = std::min(buf.size(), static_cast<size_t>(fadeSeconds * static_cast<float>(rate)));
  for (size_t i = 0; i < n; ++i) buf[buf.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(n);
}

}  // namespace assetgen
