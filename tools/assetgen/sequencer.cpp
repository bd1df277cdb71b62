// Song rendering: tracks to mono buffers, echo, panning and the final mix.
#include "sequencer.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

void renderSong(const Song& song, int rate, std::vector<float>& left, std::vector<float>& right) {
  const double secondsPerBeat = 60.0 / static_cast<double>(song.bpm);
  const auto sampleAt = [&](double beat) { return static_cast<size_t>(beat * secondsPerBeat * rate); };
  const size_t length = sampleAt(song.lengthBeats) + static_cast<size_t>(2 * rate);
  left.assign(length, 0.0f);
  right.assign(length, 0.0f);

  for (const Track& t : song.tracks) {
    std::vector<float> mono(length, 0.0f);
    for (const NoteEvent& e : t.events) {
      Note n = t.instrument.voice;
      n.freq = midiToHz(e.midi);
      n.length = static_cast<float>(e.beats * secondsPerBeat) * t.instrument.gate;
      n.volume *= e.velocity;
      n.noiseSeed = static_cast<uint32_t>(e.beat * 16.0) + 1u;
      renderNote(mono, sampleAt(e.beat), n, rate);
    }
    mono.resize(length);
    const float pan = t.instrument.pan;
    const float gl = std::sqrt(0.5f * (1.0f - pan)), gr = std::sqrt(0.5f * (1.0f + pan));
    const size_t delay = sampleAt(t.instrument.echoBeats);
    for (size_t i = 0; i < length; ++i) {
      float l = mono[i] * gl, r = mono[i] * gr;
      if (t.instrument.echo > 0.0f && i >= delay) {
        const float e = mono[i - delay] * t.instrument.echo;
        const float e2 = i >= 2 * delay ? mono[i - 2 * delay] * t.instrument.echo * t.instrument.echo : 0.0f;
        // First echo on the far side, the second back on the near side.
        if (pan <= 0.0f) { r += e; l += e2; } else { l += e; r += e2; }
      }
      left[i] += l;
      right[i] += r;
    }
  }

  std::vector<float> drums(length, 0.0f), hats(length, 0.0f);
  for (const DrumHit& d : song.drums) {
    const size_t at = sampleAt(d.beat);
    const uint32_t seed = static_cast<uint32_t>(d.beat * 4.0) + 3u;
    switch (d.drum) {
      case Drum::Kick: kick(drums, at, d.velocity, rate); break;
      case Drum::Snare: snare(drums, at, d.velocity, rate, seed); break;
      case Drum::Hat: hat(hats, at, d.velocity, rate, false, seed); break;
      case Drum::OpenHat: hat(hats, at, d.velocity, rate, true, seed); break;
    }
  }
  drums.resize(length);
  hats.resize(length);
  for (size_t i = 0; i < length; ++i) {
    left[i] += song.drumVolume * (drums[i] + hats[i] * 0.8f);
    right[i] += song.drumVolume * (drums[i] + hats[i] * 1.1f);
  }

  removeDc(left, rate);
  removeDc(right, rate);
  float peak = 0.0f;
  for (size_t i = 0; i < length; ++i) peak = std::max(peak, std::max(std::fabs(left[i]), std::fabs(right[i])));
  const float k = peak > 0.0f ? 0.85f / peak : 1.0f;  // headroom for the encoder's overshoot
  for (size_t i = 0; i < length; ++i) {
    left[i] *= k;
    right[i] *= k;
  }
  fadeOut(left, 1.5f, rate);
  fadeOut(right, 1.5f, rate);
}

}  // namespace assetgen
