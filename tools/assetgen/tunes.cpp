// The six level tunes. Each is composed here from a style (tempo, key, mode, chord progressions,
// bass, drum and arpeggio patterns, lead sound) and a seed: melodies are built from one-bar
// motifs that are repeated over the changing chords and closed by a cadence bar, which is what
// makes a tune stick. Form: intro, A, A with harmony, B, A, breakdown, A with harmony, ending.
#include <algorithm>
#include <cmath>
#include <string>

#include "audio.h"
#include "noise.h"
#include "sequencer.h"

namespace assetgen {
namespace {

struct Style {
  float bpm;
  int tonic;             // MIDI note of the key's tonic in the lead's octave
  int mode[7];           // semitones of the seven scale degrees
  int progA[4], progB[4];  // chord roots as scale degrees, one chord per bar
  int bass;              // bass pattern
  int drums;             // drum pattern
  int arp;               // arpeggio pattern
  float leadDuty;
  Wave leadWave;
  uint32_t seed;
};

constexpr int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};
constexpr int kDorian[7] = {0, 2, 3, 5, 7, 9, 10};
constexpr int kMixolydian[7] = {0, 2, 4, 5, 7, 9, 10};

Style styleFor(int n) {
  Style s{};
  const auto setMode = [&s](const int* m) { std::copy(m, m + 7, s.mode); };
  const auto prog = [](int* dst, int a, int b, int c, int d) { dst[0] = a; dst[1] = b; dst[2] = c; dst[3] = d; };
  switch (n) {
    case 1:  // bright and bouncy
      s.bpm = 138; s.tonic = 72; setMode(kMajor); prog(s.progA, 0, 4, 5, 3); prog(s.progB, 3, 4, 2, 5);
      s.bass = 0; s.drums = 0; s.arp = 0; s.leadDuty = 0.25f; s.leadWave = Wave::Square; s.seed = 101; break;
    case 2:  // minor adventure
      s.bpm = 126; s.tonic = 69; setMode(kMinor); prog(s.progA, 0, 5, 2, 6); prog(s.progB, 3, 0, 4, 4);
      s.bass = 2; s.drums = 1; s.arp = 1; s.leadDuty = 0.5f; s.leadWave = Wave::Square; s.seed = 202; break;
    case 3:  // fast chase
      s.bpm = 160; s.tonic = 76; setMode(kDorian); prog(s.progA, 0, 3, 0, 4); prog(s.progB, 5, 6, 3, 4);
      s.bass = 0; s.drums = 1; s.arp = 2; s.leadDuty = 0.125f; s.leadWave = Wave::Square; s.seed = 303; break;
    case 4:  // easy swing
      s.bpm = 118; s.tonic = 67; setMode(kMixolydian); prog(s.progA, 0, 6, 3, 0); prog(s.progB, 3, 3, 0, 4);
      s.bass = 3; s.drums = 3; s.arp = 0; s.leadDuty = 0.5f; s.leadWave = Wave::Triangle; s.seed = 404; break;
    case 5:  // dreamy, sparkling
      s.bpm = 112; s.tonic = 77; setMode(kMajor); prog(s.progA, 0, 2, 3, 4); prog(s.progB, 5, 3, 1, 4);
      s.bass = 1; s.drums = 2; s.arp = 1; s.leadDuty = 0.25f; s.leadWave = Wave::Square; s.seed = 505; break;
    default:  // heroic finale
      s.bpm = 148; s.tonic = 74; setMode(kMajor); prog(s.progA, 0, 3, 4, 5); prog(s.progB, 5, 4, 3, 4);
      s.bass = 2; s.drums = 0; s.arp = 2; s.leadDuty = 0.25f; s.leadWave = Wave::Square; s.seed = 606; break;
  }
  return s;
}

// MIDI pitch of a scale degree (any integer; 7 = the tonic an octave up).
float pitchOf(const Style& s, int degree, int octaveShift = 0) {
  const int oct = static_cast<int>(std::floor(static_cast<float>(degree) / 7.0f));
  const int d = degree - oct * 7;
  return static_cast<float>(s.tonic + 12 * (oct + octaveShift) + s.mode[d]);
}

struct MotifNote {
  int step;    // 16th within the bar
  int len;     // in 16ths
  int offset;  // scale degrees above the chord root
};
using Motif = std::vector<MotifNote>;

// One-bar rhythms (onset steps); lengths run to the next onset.
const std::vector<std::vector<int>> kRhythms = {
    {0, 4, 6, 8, 12},       {0, 2, 4, 8, 10, 12},  {0, 3, 6, 8, 12, 14}, {0, 4, 8, 10, 11, 12},
    {0, 2, 3, 4, 8, 12},    {0, 6, 8, 12, 14},     {0, 3, 6, 10, 12},    {0, 2, 4, 6, 8, 11, 12},
};

Motif makeMotif(Rng& rng, int rhythm, int start) {
  const std::vector<int>& r = kRhythms[static_cast<size_t>(rhythm)];
  Motif m;
  int cur = start;
  for (size_t i = 0; i < r.size(); ++i) {
    const int len = (i + 1 < r.size() ? r[i + 1] : 16) - r[i];
    if (i > 0) {
      if (r[i] % 8 == 0) {
        // Strong beats land on a chord tone near the current note.
        const int tones[] = {0, 2, 4, 7};
        int best = 0, bestD = 99;
        for (int t : tones) {
          const int d = std::abs(t - cur) + (rng.chance(0.3f) ? 1 : 0);
          if (d < bestD && t != cur) { bestD = d; best = t; }
        }
        cur = best;
      } else {
        const int moves[] = {-2, -1, -1, 1, 1, 2, 3, -3};
        cur += moves[rng.below(8)];
        cur = std::clamp(cur, -2, 9);
      }
    }
    m.push_back({r[i], len, cur});
  }
  return m;
}

// A cadence bar: a short pick-up and a long note on the tonic of the key.
Motif cadence(Rng& rng, int chordRoot) {
  const int target = ((7 - chordRoot) % 7 + 7) % 7;  // offset that lands on the tonic
  const int t = target > 4 ? target - 7 : target;
  Motif m;
  if (rng.chance(0.5f)) {
    m.push_back({0, 2, t + 2});
    m.push_back({2, 2, t + 1});
    m.push_back({4, 12, t});
  } else {
    m.push_back({0, 4, t + 4});
    m.push_back({4, 2, t + 2});
    m.push_back({6, 10, t});
  }
  return m;
}

struct Composer {
  Style st;
  Song song;
  Rng rng;
  int lead = 0, harmony = 1, bass = 2, arp = 3;
  explicit Composer(const Style& s) : st(s), rng(s.seed) {
    song.bpm = s.bpm;
    Instrument ld;
    ld.voice.wave = s.leadWave;
    ld.voice.duty = s.leadDuty;
    ld.voice.attack = 0.004f;
    ld.voice.decay = 0.12f;
    ld.voice.sustain = 0.65f;
    ld.voice.release = 0.06f;
    ld.voice.volume = s.leadWave == Wave::Triangle ? 0.55f : 0.32f;
    ld.voice.vibratoDepth = 0.22f;
    ld.voice.vibratoRate = 5.5f;
    ld.voice.vibratoDelay = 0.18f;
    ld.pan = -0.15f;
    ld.echo = 0.28f;
    ld.echoBeats = 0.75f;
    ld.gate = 0.85f;
    Instrument hm = ld;
    hm.voice.wave = Wave::Square;
    hm.voice.duty = 0.5f;
    hm.voice.volume = 0.14f;
    hm.voice.vibratoDepth = 0.0f;
    hm.pan = 0.45f;
    hm.echo = 0.0f;
    Instrument bs;
    bs.voice.wave = Wave::Triangle;
    bs.voice.attack = 0.003f;
    bs.voice.decay = 0.08f;
    bs.voice.sustain = 0.8f;
    bs.voice.release = 0.03f;
    bs.voice.volume = 0.6f;
    bs.gate = 0.8f;
    Instrument ar;
    ar.voice.wave = Wave::Square;
    ar.voice.duty = 0.125f;
    ar.voice.attack = 0.002f;
    ar.voice.decay = 0.06f;
    ar.voice.sustain = 0.3f;
    ar.voice.release = 0.03f;
    ar.voice.volume = 0.11f;
    ar.pan = 0.5f;
    ar.echo = 0.2f;
    ar.echoBeats = 0.5f;
    ar.gate = 0.7f;
    song.tracks = {{ld, {}}, {hm, {}}, {bs, {}}, {ar, {}}};
    song.drumVolume = 0.55f;
  }

  void note(int track, int bar, int step, int len, float midi, float vel) {
    song.tracks[static_cast<size_t>(track)].events.push_back(
        {bar * 4.0 + step * 0.25, midi, static_cast<float>(len) * 0.25f, vel});
  }

  void drumHit(int bar, int step, Drum d, float vel) {
    double beat = bar * 4.0 + step * 0.25;
    if (st.drums == 3 && step % 4 == 2) beat += 0.08;  // swing the off-beats
    song.drums.push_back({beat, d, vel});
  }

  void melodyBar(int bar, const Motif& m, int chord, bool withHarmony, int octave) {
    for (const MotifNote& n : m) {
      // Keep the tune in a singable range: a motif repeated over a high chord folds down an
      // octave instead of climbing out of reach.
      int degree = chord + n.offset;
      while (degree > 9) degree -= 7;
      while (degree < -2) degree += 7;
      note(lead, bar, n.step, n.len, pitchOf(st, degree, octave), n.step % 4 == 0 ? 1.0f : 0.85f);
      if (withHarmony) note(harmony, bar, n.step, n.len, pitchOf(st, degree - 2, octave), 0.9f);
    }
  }

  void bassBar(int bar, int chord, bool busy) {
    const float root = pitchOf(st, chord, -2), fifth = pitchOf(st, chord + 4, -2);
    switch (st.bass) {
      case 0:  // octave bounce in eighths
        for (int s = 0; s < 16; s += 2) note(bass, bar, s, 2, (s / 2) % 2 ? root + 12 : root, s % 8 == 0 ? 1.0f : 0.8f);
        break;
      case 1:  // root and fifth in quarters
        for (int s = 0; s < 16; s += 4) note(bass, bar, s, 4, (s / 4) % 2 ? fifth : root, 1.0f);
        break;
      case 2: {  // syncopated
        const int steps[] = {0, 3, 6, 8, 11, 14};
        for (int i = 0; i < 6; ++i) note(bass, bar, steps[i], i == 2 ? 2 : 3, i == 4 ? fifth : root, i % 3 == 0 ? 1.0f : 0.8f);
        break;
      }
      default:  // walking quarters
        for (int s = 0; s < 4; ++s) {
          const int deg[] = {0, 2, 4, 5};
          note(bass, bar, s * 4, 4, pitchOf(st, chord + deg[s], -2), 1.0f);
        }
        break;
    }
    if (busy && st.bass != 0) note(bass, bar, 15, 1, root + 12, 0.6f);
  }

  void arpBar(int bar, int chord) {
    const int tones[] = {0, 2, 4, 7};
    for (int s = 0; s < 16; ++s) {
      int i;
      if (st.arp == 0) i = s % 4;
      else if (st.arp == 1) i = (s % 6 < 4) ? s % 6 : 6 - s % 6;
      else i = (s * 3) % 4;
      note(arp, bar, s, 1, pitchOf(st, chord + tones[i], 0), s % 4 == 0 ? 1.0f : 0.7f);
    }
  }

  void drumBar(int bar, bool fill, bool light) {
    for (int s = 0; s < 16; ++s) {
      const bool eighth = s % 2 == 0;
      switch (st.drums) {
        case 0:  // four on the floor
          if (s % 4 == 0) drumHit(bar, s, Drum::Kick, 0.9f);
          if (!light && (s == 4 || s == 12)) drumHit(bar, s, Drum::Snare, 0.7f);
          if (eighth && s % 4 == 2) drumHit(bar, s, Drum::OpenHat, 0.25f);
          break;
        case 1:  // rock
          if (s == 0 || s == 6 || s == 8 || s == 10) drumHit(bar, s, Drum::Kick, 0.9f);
          if (!light && (s == 4 || s == 12)) drumHit(bar, s, Drum::Snare, 0.75f);
          drumHit(bar, s, Drum::Hat, eighth ? 0.35f : 0.2f);
          break;
        case 2:  // half time
          if (s == 0 || s == 10) drumHit(bar, s, Drum::Kick, 0.85f);
          if (!light && s == 8) drumHit(bar, s, Drum::Snare, 0.7f);
          if (eighth) drumHit(bar, s, Drum::Hat, 0.3f);
          break;
        default:  // shuffle
          if (s == 0 || s == 8) drumHit(bar, s, Drum::Kick, 0.85f);
          if (!light && (s == 4 || s == 12)) drumHit(bar, s, Drum::Snare, 0.6f);
          if (s % 4 == 0 || s % 4 == 2) drumHit(bar, s, Drum::Hat, s % 4 == 0 ? 0.35f : 0.22f);
          break;
      }
    }
    if (fill) {
      for (int s = 8; s < 16; s += (s < 12 ? 2 : 1)) drumHit(bar, s, Drum::Snare, 0.35f + 0.04f * static_cast<float>(s));
    }
  }

  // One 8-bar section on a progression, with its melody motifs.
  void section(int& bar, const int* prog, const std::vector<Motif>& motifs, bool harmonyOn, int octave, bool lightDrums) {
    const int order[8] = {0, 1, 0, 2, 0, 1, 0, 3};
    for (int i = 0; i < 8; ++i) {
      const int chord = prog[i % 4];
      const Motif& m = order[i] == 3 ? cadence(rng, chord) : motifs[static_cast<size_t>(order[i])];
      melodyBar(bar, m, chord, harmonyOn, octave);
      bassBar(bar, chord, i % 4 == 3);
      arpBar(bar, chord);
      drumBar(bar, i == 7, lightDrums);
      ++bar;
    }
  }

  Song compose() {
    const auto motifsFrom = [this](uint32_t salt) {
      Rng r(st.seed * 31u + salt);
      std::vector<Motif> ms;
      for (int i = 0; i < 3; ++i) ms.push_back(makeMotif(r, r.below(static_cast<int>(kRhythms.size())), i == 1 ? 4 : 0));
      return ms;
    };
    const std::vector<Motif> a = motifsFrom(1), b = motifsFrom(2);
    int bar = 0;
    // Intro: bass, arpeggio and drums over the A chords, building up.
    for (int i = 0; i < 4; ++i) {
      const int chord = st.progA[i];
      bassBar(bar, chord, i == 3);
      if (i >= 2) arpBar(bar, chord);
      drumBar(bar, i == 3, i < 2);
      ++bar;
    }
    section(bar, st.progA, a, false, 0, false);
    section(bar, st.progA, a, true, 0, false);
    section(bar, st.progB, b, false, 0, false);
    section(bar, st.progA, a, false, 0, false);
    // Breakdown: arpeggio and bass only, then the drums return.
    for (int i = 0; i < 4; ++i) {
      const int chord = st.progB[i];
      arpBar(bar, chord);
      bassBar(bar, chord, false);
      if (i == 3) drumBar(bar, true, true);
      ++bar;
    }
    section(bar, st.progA, a, true, 0, false);
    // Ending: a held tonic chord.
    note(lead, bar, 0, 12, pitchOf(st, 0), 1.0f);
    note(harmony, bar, 0, 12, pitchOf(st, 4, -1), 0.9f);
    note(bass, bar, 0, 12, pitchOf(st, 0, -2), 1.0f);
    drumHit(bar, 0, Drum::Kick, 1.0f);
    drumHit(bar, 0, Drum::OpenHat, 0.5f);
    song.lengthBeats = bar * 4.0 + 4.0;
    return song;
  }
};

}  // namespace

Tune makeTune(int n) {
  Composer c(styleFor(n));
  const Song song = c.compose();
  Tune t;
  t.name = "tune0" + std::to_string(n);
  renderSong(song, kTuneRate, t.left, t.right);
  return t;
}

}  // namespace assetgen
