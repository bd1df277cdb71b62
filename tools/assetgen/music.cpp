// The demo song of the procedural music player and its instruments.
//
// Patterns are written one step per character, 8 steps to a beat, 64 steps (two 4/4 measures) to a
// pattern. A key of the player's keyboard piano ("zsxdcvgbhnjmq2w3er5t6y7ui9o0p[=]", 'q' being the
// sample's own pitch) starts that note, its capital an accented one; '-' silences the voice; '.'
// leaves it alone. Drum voices use the white keys from 'q' to 'i' for kit entries 1 to 8. The
// player transposes every melodic voice together by the bar's chord root, so each pattern is
// written over C major and stays in tune with the others whatever the root.
#include "music.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "synth.h"

namespace assetgen {
namespace {

constexpr float kTwoPi = 6.28318530718f;
constexpr double kPi = 3.14159265358979323846;
constexpr int R = kInstrumentRate;
constexpr char kKeys[] = "zsxdcvgbhnjmq2w3er5t6y7ui9o0p[=]";

// Note number (1..32) of a key, 0 for none.
int keyNote(char c) {
  const char* at = std::strchr(kKeys, std::tolower(static_cast<unsigned char>(c)));
  return c != 0 && at ? static_cast<int>(at - kKeys) + 1 : 0;
}

struct Voice {
  int index;
  int volume;  // of a plain note
  int accent;  // of a capital
};
constexpr Voice kDrumsA{0, 22, 29};
constexpr Voice kDrumsB{1, 18, 24};
constexpr Voice kLead{2, 23, 27};
constexpr Voice kAccompany{3, 16, 20};
constexpr Voice kBass{4, 26, 29};

void put(std::vector<uint8_t>& song, int p, int v, int s, int k, int value) {
  song[static_cast<size_t>(songIndex(p, v, s, k))] = static_cast<uint8_t>(value);
}

// Writes one pattern of a voice from its 64 step characters.
void writeVoice(std::vector<uint8_t>& song, int p, const Voice& voice, const std::string& steps) {
  if (steps.size() != kSongSteps) throw std::logic_error("a pattern has 64 steps: " + steps);
  for (int s = 0; s < kSongSteps; ++s) {
    const char c = steps[static_cast<size_t>(s)];
    if (c == '.') continue;
    if (c == '-') {
      put(song, p, voice.index, s, kCellVolume, 31);
      continue;
    }
    const int note = keyNote(c);
    if (note < 1 || note > 31) throw std::logic_error(std::string("not a note key: ") + c);
    put(song, p, voice.index, s, kCellNote, note);
    put(song, p, voice.index, s, kCellVolume, std::isupper(static_cast<unsigned char>(c)) ? voice.accent : voice.volume);
  }
}

void effect(std::vector<uint8_t>& song, int p, const Voice& voice, int from, int to, int fx, int parameter) {
  for (int s = from; s <= to; ++s) {
    put(song, p, voice.index, s, kCellEffect, fx);
    put(song, p, voice.index, s, kCellParameter, parameter);
  }
}

std::string twice(const std::string& measure) { return measure + measure; }
std::string times4(const std::string& beats) { return beats + beats + beats + beats; }

}  // namespace

std::vector<uint8_t> makeDemoSongPatterns() {
  std::vector<uint8_t> song(static_cast<size_t>(kSongPatterns * kSongVoices * kSongSteps * kSongValues), 0);

  // Drum kit 1: q kick, w snare, e closed hat, r open hat, t low tom, y high tom, u clap, i crash.
  writeVoice(song, 0, kDrumsA, "Q...e...W...e...q...e...W...e..." "Q...e...W...e...q...e.q.W...r...");
  writeVoice(song, 1, kDrumsA, "Q.e.e.q.W.e.e.e.q.e.q.e.W.e.r..." "Q.e.e.q.W.e.e.e.q.e.q.e.W.e.W.W.");
  writeVoice(song, 2, kDrumsA, "Q...e...e...e...W...e...e...q..." "Q...e...e...q...W...e...u...u...");
  // A one-measure fill: the break on its last step ends the bar there.
  writeVoice(song, 3, kDrumsA, "I.......W...e...t.t.y.y.t.y.W.W." "................................");
  effect(song, 3, kDrumsA, 31, 31, kFxBreak, 0);

  // Drum kit 2: q shaker, w rim, e cowbell, r high conga, t low conga, y tambourine, u clave, i ride.
  writeVoice(song, 0, kDrumsB, times4("q.Q.q.Q.q.Q.q.Q."));
  writeVoice(song, 1, kDrumsB, twice("U.....u.....u.......u...u......."));
  writeVoice(song, 2, kDrumsB, twice("r...t.r.r...t...r...t.r.R.t.t..."));
  writeVoice(song, 3, kDrumsB, twice("i...y...i...y...i...y...i.i.y..."));

  // Lead.
  writeVoice(song, 0, kLead, "t.......e...t...I.......u...t..." "y...t...e...w...e...........-...");
  writeVoice(song, 1, kLead, "E...t...i...t...y...i...O...i..." "P.......o...i...t...........-...");
  writeVoice(song, 2, kLead, "I.i.u.t.i...t...E.e.w.q.e...t..." "y...t...e...t...q...........-...");
  writeVoice(song, 3, kLead, "O...............p.......o......." "I.......u.......t...........-...");
  effect(song, 3, kLead, 53, 59, kFxSlideDown, 4);  // the last note falls away
  // Call and answer: the two patterns swap from one repeat to the next.
  writeVoice(song, 4, kLead, "T...t...y...t...i.......t......." "y...i...o...i...t...........-...");
  writeVoice(song, 5, kLead, "E...e...w...q...e.......q......." "w...e...w...q...q...........-...");
  effect(song, 4, kLead, 0, 0, kFxAlternate, 1);
  effect(song, 5, kLead, 0, 0, kFxAlternate, 2);

  // Accompaniment: broken chords.
  writeVoice(song, 0, kAccompany, times4("Q...e...t...e..."));
  writeVoice(song, 1, kAccompany, times4("Q.e.t.i.t.e.q.e."));
  writeVoice(song, 2, kAccompany, "E...............T..............." "E...............I...............");
  writeVoice(song, 3, kAccompany, twice("Q.....e.....t...i.....t.....e..."));

  // Bass.
  writeVoice(song, 0, kBass, twice("Q.......-.......t.......-......."));
  writeVoice(song, 1, kBass, twice("Q...q...t...q...i...t...q...t..."));
  writeVoice(song, 2, kBass, "Q.....q.....t...q.......t...i..." "Q.....q.....t...e...w...q...b...");
  writeVoice(song, 3, kBass, twice("Q...i...q...i...q...i...t...b..."));
  effect(song, 3, kBass, 61, 63, kFxSlideDownFast, 2);  // and drops at the very end
  return song;
}

Image renderSongImage(const std::vector<uint8_t>& patterns) {
  constexpr int kFrame = 64, kAcross = 8;
  Image img(kFrame * kAcross, kFrame * (kSongPatterns / kAcross));
  for (int p = 0; p < kSongPatterns; ++p) {
    const int x0 = (p % kAcross) * kFrame, y0 = (p / kAcross) * kFrame;
    for (int s = 0; s < kSongSteps; ++s) {
      for (int v = 0; v < kSongVoices; ++v) {
        for (int k = 0; k < kSongValues; ++k) {
          const int value = patterns[static_cast<size_t>(songIndex(p, v, s, k))] & 31;
          img.at(x0 + v * kSongValues + k, y0 + s) = rgb(0, 0, value * 8 + 4);
        }
      }
    }
  }
  return img;
}

namespace {

// One-pole high-pass at the given corner, in place.
void highPass(std::vector<float>& b, float hz) {
  const float k = std::exp(-kTwoPi * hz / static_cast<float>(R));
  float x1 = 0.0f, y1 = 0.0f;
  for (float& v : b) {
    const float y = k * (y1 + v - x1);
    x1 = v;
    y1 = y;
    v = y;
  }
}

// A percussive note: attack, then a straight fall to silence over `decay` seconds.
Note hit(Wave wave, float freq, float freqEnd, float decay, float volume) {
  Note n;
  n.wave = wave;
  n.freq = freq;
  n.freqEnd = freqEnd;
  n.attack = 0.001f;
  n.decay = decay;
  n.sustain = 0.0f;
  n.length = decay + 0.001f;
  n.release = 0.005f;
  n.volume = volume;
  return n;
}

Note noise(float decay, float noiseRate, float lowpass, uint32_t seed) {
  Note n = hit(Wave::Noise, 1000.0f, 0.0f, decay, 0.8f);
  n.noiseRate = noiseRate;
  n.lowpass = lowpass;
  n.noiseSeed = seed;
  return n;
}

std::vector<float> finish(std::vector<float> b, float peak) {
  normalise(b, peak);
  return b;
}

std::vector<float> tom(float from, float to, float decay) {
  std::vector<float> b;
  renderNote(b, 0, hit(Wave::Sine, from, to, decay, 0.9f), R);
  Note skin = noise(0.03f, 6000.0f, 2500.0f, 5);
  skin.volume = 0.25f;
  renderNote(b, 0, skin, R);
  return finish(b, 0.8f);
}

std::vector<float> clap() {
  std::vector<float> b;
  for (int i = 0; i < 3; ++i) {
    renderNote(b, static_cast<size_t>(0.011f * static_cast<float>(R * i)), noise(0.009f, 9000.0f, 3000.0f, 31u + static_cast<uint32_t>(i)), R);
  }
  renderNote(b, static_cast<size_t>(0.033f * R), noise(0.16f, 9000.0f, 2600.0f, 37), R);
  highPass(b, 600.0f);
  return finish(b, 0.6f);
}

std::vector<float> cymbal(float decay, float partialsLevel, uint32_t seed, float peak) {
  std::vector<float> b;
  renderNote(b, 0, noise(decay, 20000.0f, 9000.0f, seed), R);
  // A few inharmonic square partials give the metal its ring.
  const float partials[] = {367.0f, 523.0f, 741.0f, 1053.0f};
  for (float f : partials) {
    Note n = hit(Wave::Square, f, 0.0f, decay * 0.8f, partialsLevel);
    n.lowpass = 5000.0f;
    renderNote(b, 0, n, R);
  }
  highPass(b, 2500.0f);
  return finish(b, peak);
}

std::vector<float> shaker() {
  std::vector<float> b;
  Note n = noise(0.05f, 20000.0f, 9000.0f, 41);
  n.attack = 0.018f;
  n.length = 0.07f;
  renderNote(b, 0, n, R);
  highPass(b, 3500.0f);
  return finish(b, 0.3f);
}

std::vector<float> rim() {
  std::vector<float> b;
  renderNote(b, 0, hit(Wave::Sine, 1700.0f, 0.0f, 0.035f, 0.8f), R);
  Note click = noise(0.012f, 12000.0f, 6000.0f, 43);
  click.volume = 0.5f;
  renderNote(b, 0, click, R);
  return finish(b, 0.5f);
}

std::vector<float> cowbell() {
  std::vector<float> b;
  for (float f : {562.0f, 845.0f}) {
    Note n = hit(Wave::Square, f, 0.0f, 0.28f, 0.5f);
    n.lowpass = 2800.0f;
    renderNote(b, 0, n, R);
  }
  highPass(b, 300.0f);
  return finish(b, 0.4f);
}

std::vector<float> conga(float from, float to, float decay) {
  std::vector<float> b;
  renderNote(b, 0, hit(Wave::Sine, from, to, decay, 0.9f), R);
  Note slap = noise(0.01f, 8000.0f, 3000.0f, 47);
  slap.volume = 0.2f;
  renderNote(b, 0, slap, R);
  return finish(b, 0.6f);
}

std::vector<float> tambourine() {
  std::vector<float> b;
  // Three quick shakes of the jingles.
  for (int i = 0; i < 3; ++i) {
    hat(b, static_cast<size_t>(0.018f * static_cast<float>(R * i)), 1.0f - 0.3f * static_cast<float>(i), R, true,
        53u + static_cast<uint32_t>(i));
  }
  highPass(b, 4000.0f);
  return finish(b, 0.35f);
}

std::vector<float> drum(void (*voice)(std::vector<float>&, size_t, float, int), float peak) {
  std::vector<float> b;
  voice(b, 0, 1.0f, R);
  return finish(b, peak);
}

// A looping tone: one second holding whole cycles of every partial, so the loop point is seamless.
// partial(n) gives the level of harmonic n; vibrato is a phase modulation whose rate is a whole
// number of hertz, and the chorus a second copy a whole number of hertz higher.
template <class Partial>
std::vector<float> loopTone(int hz, Partial partial, float vibratoSemitones, int vibratoHz, int chorusHz, float peak) {
  std::vector<float> b(static_cast<size_t>(R), 0.0f);
  const int highest = (R / 2 - chorusHz) / hz - 1;
  const double deviation = hz * (std::pow(2.0, vibratoSemitones / 12.0) - 1.0);
  const double beta = vibratoHz > 0 ? deviation / vibratoHz : 0.0;
  for (size_t i = 0; i < b.size(); ++i) {
    const double t = static_cast<double>(i) / R;
    const double wobble = beta * std::sin(2.0 * kPi * vibratoHz * t);
    double v = 0.0;
    for (int n = 1; n <= highest; ++n) {
      const double level = partial(n);
      if (level == 0.0) continue;
      v += level * std::sin(n * (2.0 * kPi * hz * t + wobble));
      if (chorusHz > 0) v += 0.5 * level * std::sin(n * (2.0 * kPi * (hz + chorusHz) * t + wobble));
    }
    b[i] = static_cast<float>(v);
  }
  return finish(b, peak);
}

}  // namespace

std::vector<InstrumentSample> makeInstrumentSamples() {
  std::vector<InstrumentSample> out;
  out.push_back({"d1-1", drum(kick, 0.9f)});
  out.push_back({"d1-2", [] {
                   std::vector<float> b;
                   snare(b, 0, 1.0f, R, 11);
                   return finish(b, 0.75f);
                 }()});
  out.push_back({"d1-3", [] {
                   std::vector<float> b;
                   hat(b, 0, 1.0f, R, false, 21);
                   return finish(b, 0.35f);
                 }()});
  out.push_back({"d1-4", [] {
                   std::vector<float> b;
                   hat(b, 0, 1.0f, R, true, 22);
                   return finish(b, 0.35f);
                 }()});
  out.push_back({"d1-5", tom(130.0f, 85.0f, 0.3f)});
  out.push_back({"d1-6", tom(200.0f, 135.0f, 0.25f)});
  out.push_back({"d1-7", clap()});
  out.push_back({"d1-8", cymbal(1.2f, 0.12f, 61, 0.45f)});

  out.push_back({"d2-1", shaker()});
  out.push_back({"d2-2", rim()});
  out.push_back({"d2-3", cowbell()});
  out.push_back({"d2-4", conga(340.0f, 300.0f, 0.18f)});
  out.push_back({"d2-5", conga(230.0f, 200.0f, 0.25f)});
  out.push_back({"d2-6", tambourine()});
  out.push_back({"d2-7", [] {
                   std::vector<float> b;
                   renderNote(b, 0, hit(Wave::Sine, 2500.0f, 0.0f, 0.05f, 0.9f), R);
                   return finish(b, 0.5f);
                 }()});
  out.push_back({"d2-8", cymbal(0.9f, 0.2f, 67, 0.35f)});

  // The melodic instruments, on C an octave apart (66, 264 and 528 Hz).
  out.push_back({"lead1", loopTone(
                              528,
                              [](int n) {  // a quarter-width pulse, softened at the top
                                const double k = static_cast<double>(n);
                                return std::sin(kPi * k * 0.25) / k / (1.0 + (k / 10.0) * (k / 10.0));
                              },
                              0.08f, 5, 0, 0.55f)});
  out.push_back({"accompany1", loopTone(
                                   264,
                                   [](int n) {  // a mellow organ with a slow chorus
                                     const double levels[] = {0, 1.0, 0.45, 0.3, 0.12, 0.08, 0.04};
                                     return n < 7 ? levels[n] : 0.0;
                                   },
                                   0.0f, 0, 1, 0.5f)});
  out.push_back({"bass1", loopTone(
                              66,
                              [](int n) {  // a saw through a low-pass
                                const double k = static_cast<double>(n);
                                return 1.0 / k / (1.0 + (k / 5.0) * (k / 5.0));
                              },
                              0.0f, 0, 0, 0.7f)});
  return out;
}

}  // namespace assetgen
