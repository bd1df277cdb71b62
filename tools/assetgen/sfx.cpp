// Sound effect recipes. Numbers and uses:
//   2 home reached (fanfare)   3 dying            4, 5 pill eaten (alternating pair)
//   6 floor tile landing (played at rates 0.75-1.25)  15-18 first to fourth friend joining
//   96 start-up jingle   98 confirm / pause   99 select / move
// The other numbers are loaded by the game but not played; they are spares a later level event
// can use: 1 pick-up, 7 jump, 8 power-up, 9 zap, 10 explosion, 11 click, 12 bonus, 13 error,
// 14 whoosh, 19 crumble, 20 spike clank, 21 teleport, 95 level start.
#include <cmath>

#include "audio.h"
#include "synth.h"

namespace assetgen {
namespace {

constexpr int R = kSfxRate;

size_t at(float seconds) { return static_cast<size_t>(seconds * static_cast<float>(R)); }

Note blip(float midi, float len, float duty = 0.5f, float vol = 0.45f) {
  Note n;
  n.freq = midiToHz(midi);
  n.length = len;
  n.duty = duty;
  n.volume = vol;
  n.attack = 0.002f;
  n.decay = len * 0.6f;
  n.sustain = 0.5f;
  n.release = 0.03f;
  return n;
}

std::vector<float> pickUp() {  // 1
  std::vector<float> b;
  Note n = blip(76, 0.05f, 0.25f);
  renderNote(b, 0, n, R);
  n = blip(83, 0.12f, 0.25f);
  n.release = 0.12f;
  renderNote(b, at(0.05f), n, R);
  return b;
}

std::vector<float> homeFanfare() {  // 2
  std::vector<float> b;
  const float mel[] = {72, 76, 79, 84, 79, 84, 88};
  const float len[] = {0.09f, 0.09f, 0.09f, 0.18f, 0.09f, 0.09f, 0.55f};
  float t = 0.0f;
  for (int i = 0; i < 7; ++i) {
    Note n = blip(mel[i], len[i], 0.25f, 0.38f);
    n.sustain = 0.8f;
    n.release = i == 6 ? 0.35f : 0.04f;
    n.vibratoDepth = i == 6 ? 0.25f : 0.0f;
    n.vibratoDelay = 0.12f;
    renderNote(b, at(t), n, R);
    Note h = n;  // a third below, quieter, for body
    h.freq = midiToHz(mel[i] - (i % 2 ? 3.0f : 4.0f));
    h.duty = 0.5f;
    h.volume = 0.16f;
    renderNote(b, at(t), h, R);
    t += len[i];
  }
  Note bass = blip(48, 0.3f, 0.5f, 0.3f);
  bass.wave = Wave::Triangle;
  renderNote(b, 0, bass, R);
  bass.freq = midiToHz(55);
  renderNote(b, at(0.36f), bass, R);
  bass.freq = midiToHz(48);
  bass.length = 0.6f;
  bass.release = 0.3f;
  renderNote(b, at(0.72f), bass, R);
  return b;
}

std::vector<float> dying() {  // 3
  std::vector<float> b;
  Note n;
  n.wave = Wave::Square;
  n.duty = 0.5f;
  n.dutySweep = -0.3f;
  n.freq = midiToHz(79);
  n.freqEnd = midiToHz(36);
  n.slideCurve = 0.8f;
  n.length = 1.1f;
  n.release = 0.25f;
  n.sustain = 0.8f;
  n.decay = 0.3f;
  n.volume = 0.4f;
  n.vibratoDepth = 1.2f;
  n.vibratoRate = 11.0f;
  n.vibratoDelay = 0.0f;
  renderNote(b, 0, n, R);
  Note thud;
  thud.wave = Wave::Noise;
  thud.freq = 900;
  thud.freqEnd = 120;
  thud.length = 0.3f;
  thud.release = 0.3f;
  thud.volume = 0.35f;
  thud.lowpass = 1800;
  renderNote(b, at(1.05f), thud, R);
  return b;
}

std::vector<float> pill(float midi) {  // 4, 5
  std::vector<float> b;
  Note n = blip(midi, 0.035f, 0.25f, 0.42f);
  n.freqEnd = midiToHz(midi + 7);
  n.release = 0.04f;
  renderNote(b, 0, n, R);
  return b;
}

std::vector<float> tileLanding() {  // 6
  std::vector<float> b;
  Note thump;
  thump.wave = Wave::Sine;
  thump.freq = 150;
  thump.freqEnd = 55;
  thump.slideCurve = 0.5f;
  thump.length = 0.06f;
  thump.decay = 0.06f;
  thump.sustain = 0.3f;
  thump.release = 0.12f;
  thump.volume = 0.75f;
  renderNote(b, 0, thump, R);
  Note grit;
  grit.wave = Wave::Noise;
  grit.freq = 3000;
  grit.noiseRate = 9000;
  grit.length = 0.02f;
  grit.decay = 0.02f;
  grit.sustain = 0.2f;
  grit.release = 0.1f;
  grit.volume = 0.3f;
  grit.lowpass = 2500;
  grit.noiseSeed = 77;
  renderNote(b, 0, grit, R);
  return b;
}

std::vector<float> jump() {  // 7
  std::vector<float> b;
  Note n = blip(60, 0.16f, 0.5f, 0.4f);
  n.freqEnd = midiToHz(79);
  n.slideCurve = 0.6f;
  n.dutySweep = -1.5f;
  renderNote(b, 0, n, R);
  return b;
}

std::vector<float> powerUp() {  // 8
  std::vector<float> b;
  for (int i = 0; i < 8; ++i) {
    Note n = blip(60.0f + static_cast<float>(i) * 2.0f, 0.05f, 0.125f, 0.35f);
    n.arpeggio[1] = 4;
    n.arpeggio[2] = 7;
    n.arpSpeed = 0.016f;
    renderNote(b, at(0.05f * static_cast<float>(i)), n, R);
  }
  return b;
}

std::vector<float> zap() {  // 9
  std::vector<float> b;
  Note n = blip(96, 0.18f, 0.5f, 0.35f);
  n.wave = Wave::Saw;
  n.freqEnd = midiToHz(50);
  n.slideCurve = 0.4f;
  n.lowpass = 6000;
  renderNote(b, 0, n, R);
  return b;
}

std::vector<float> explosion() {  // 10
  std::vector<float> b;
  Note n;
  n.wave = Wave::Noise;
  n.freq = 2000;
  n.freqEnd = 80;
  n.length = 0.3f;
  n.decay = 0.3f;
  n.sustain = 0.4f;
  n.release = 0.5f;
  n.volume = 0.6f;
  n.lowpass = 2200;
  n.noiseSeed = 1234;
  renderNote(b, 0, n, R);
  kick(b, 0, 0.7f, R);
  return b;
}

std::vector<float> click() {  // 11
  std::vector<float> b;
  Note n = blip(84, 0.012f, 0.5f, 0.35f);
  n.release = 0.01f;
  renderNote(b, 0, n, R);
  return b;
}

std::vector<float> bonus() {  // 12
  std::vector<float> b;
  const float mel[] = {79, 84, 88, 91, 96};
  for (int i = 0; i < 5; ++i) {
    Note n = blip(mel[i], 0.06f, 0.25f, 0.32f);
    n.release = i == 4 ? 0.2f : 0.03f;
    renderNote(b, at(0.06f * static_cast<float>(i)), n, R);
  }
  return b;
}

std::vector<float> error() {  // 13
  std::vector<float> b;
  for (int i = 0; i < 2; ++i) {
    Note n = blip(46, 0.12f, 0.5f, 0.35f);
    n.wave = Wave::Saw;
    n.lowpass = 1800;
    n.sustain = 0.9f;
    renderNote(b, at(0.16f * static_cast<float>(i)), n, R);
  }
  return b;
}

std::vector<float> whoosh() {  // 14
  std::vector<float> b;
  Note n;
  n.wave = Wave::Noise;
  n.freq = 400;
  n.freqEnd = 6000;
  n.length = 0.25f;
  n.attack = 0.15f;
  n.decay = 0.05f;
  n.sustain = 0.6f;
  n.release = 0.15f;
  n.volume = 0.35f;
  n.lowpass = 3500;
  n.noiseSeed = 555;
  renderNote(b, 0, n, R);
  return b;
}

// Friend joining, k = 0..3: a short rising arpeggio that climbs a step higher with each friend.
std::vector<float> friendJoins(int k) {
  std::vector<float> b;
  const float base = 67.0f + static_cast<float>(k) * 2.0f;
  const float steps[] = {0, 4, 7, 12};
  for (int i = 0; i < 4; ++i) {
    Note n = blip(base + steps[i], i == 3 ? 0.14f : 0.045f, 0.25f, 0.4f);
    n.release = i == 3 ? 0.18f : 0.02f;
    n.vibratoDepth = i == 3 ? 0.3f : 0.0f;
    n.vibratoDelay = 0.05f;
    renderNote(b, at(0.05f * static_cast<float>(i)), n, R);
    Note echo = n;
    echo.volume = 0.12f;
    renderNote(b, at(0.05f * static_cast<float>(i) + 0.09f), echo, R);
  }
  if (k == 3) {  // the last friend completes the set: a little flourish
    Note n = blip(base + 16, 0.2f, 0.125f, 0.3f);
    n.release = 0.25f;
    renderNote(b, at(0.24f), n, R);
  }
  return b;
}

std::vector<float> crumble() {  // 19
  std::vector<float> b;
  for (int i = 0; i < 5; ++i) {
    Note n;
    n.wave = Wave::Noise;
    n.freq = 1200.0f - static_cast<float>(i) * 150.0f;
    n.noiseRate = 4000.0f - static_cast<float>(i) * 500.0f;
    n.length = 0.03f;
    n.decay = 0.03f;
    n.sustain = 0.3f;
    n.release = 0.06f;
    n.volume = 0.35f - static_cast<float>(i) * 0.05f;
    n.lowpass = 2500;
    n.noiseSeed = 100u + static_cast<uint32_t>(i);
    renderNote(b, at(0.045f * static_cast<float>(i)), n, R);
  }
  return b;
}

std::vector<float> spikeClank() {  // 20
  std::vector<float> b;
  Note n = blip(88, 0.02f, 0.5f, 0.3f);
  n.wave = Wave::Square;
  n.release = 0.2f;
  n.sustain = 0.3f;
  renderNote(b, 0, n, R);
  n.freq = midiToHz(94.3f);
  n.volume = 0.2f;
  renderNote(b, 0, n, R);
  hat(b, 0, 0.5f, R, false, 3);
  return b;
}

std::vector<float> teleport() {  // 21
  std::vector<float> b;
  Note n = blip(60, 0.45f, 0.5f, 0.35f);
  n.freqEnd = midiToHz(96);
  n.vibratoDepth = 2.0f;
  n.vibratoRate = 18.0f;
  n.vibratoDelay = 0.0f;
  n.dutySweep = -0.8f;
  n.release = 0.15f;
  renderNote(b, 0, n, R);
  return b;
}

std::vector<float> levelStart() {  // 95
  std::vector<float> b;
  const float mel[] = {67, 72, 76, 79};
  for (int i = 0; i < 4; ++i) {
    Note n = blip(mel[i], 0.08f, 0.5f, 0.3f);
    n.release = i == 3 ? 0.3f : 0.03f;
    renderNote(b, at(0.1f * static_cast<float>(i)), n, R);
  }
  return b;
}

std::vector<float> jingle() {  // 96: start-up jingle, about two seconds
  std::vector<float> b;
  const float beat = 0.125f;
  struct N {
    float midi, start, len;
  };
  const N lead[] = {{72, 0, 1}, {76, 1, 1}, {79, 2, 1}, {84, 3, 2}, {83, 5, 1}, {79, 6, 2},
                    {81, 8, 1}, {83, 9, 1}, {84, 10, 6}};
  for (const N& x : lead) {
    Note n = blip(x.midi, beat * x.len - 0.01f, 0.25f, 0.34f);
    n.sustain = 0.75f;
    n.release = x.len > 3 ? 0.4f : 0.04f;
    n.vibratoDepth = x.len > 3 ? 0.3f : 0.0f;
    n.vibratoDelay = 0.15f;
    renderNote(b, at(beat * x.start), n, R);
  }
  const N bass[] = {{48, 0, 2}, {55, 2, 2}, {52, 4, 2}, {55, 6, 2}, {53, 8, 2}, {55, 10, 2}, {48, 12, 4}};
  for (const N& x : bass) {
    Note n = blip(x.midi, beat * x.len - 0.02f, 0.5f, 0.35f);
    n.wave = Wave::Triangle;
    n.sustain = 0.9f;
    n.release = x.len > 3 ? 0.4f : 0.03f;
    renderNote(b, at(beat * x.start), n, R);
  }
  for (int i = 0; i < 12; i += 2) hat(b, at(beat * static_cast<float>(i)), 0.18f, R, false, static_cast<uint32_t>(i));
  kick(b, 0, 0.5f, R);
  snare(b, at(beat * 4), 0.3f, R, 1);
  kick(b, at(beat * 8), 0.5f, R);
  snare(b, at(beat * 10), 0.3f, R, 2);
  kick(b, at(beat * 12), 0.55f, R);
  hat(b, at(beat * 12), 0.2f, R, true, 9);
  return b;
}

std::vector<float> confirm() {  // 98
  std::vector<float> b;
  Note n = blip(76, 0.05f, 0.25f, 0.4f);
  renderNote(b, 0, n, R);
  n = blip(83, 0.08f, 0.25f, 0.4f);
  n.release = 0.06f;
  renderNote(b, at(0.055f), n, R);
  return b;
}

std::vector<float> select() {  // 99
  std::vector<float> b;
  Note n = blip(88, 0.03f, 0.5f, 0.32f);
  n.freqEnd = midiToHz(91);
  n.release = 0.025f;
  renderNote(b, 0, n, R);
  return b;
}

// Gives every effect the same loudness and a short fade-in so none starts with a click.
std::vector<float> finish(std::vector<float> b, float peak) {
  removeDc(b, R);
  normalise(b, peak);
  for (size_t i = 0; i < b.size() && i < 32; ++i) b[i] *= static_cast<float>(i) / 32.0f;
  fadeOut(b, 0.005f, R);
  return b;
}

}  // namespace

std::vector<SoundEffect> makeSoundEffects() {
  std::vector<SoundEffect> s;
  const auto add = [&s](int n, std::vector<float> b, float peak) { s.push_back({n, finish(std::move(b), peak)}); };
  add(1, pickUp(), 0.7f);
  add(2, homeFanfare(), 0.85f);
  add(3, dying(), 0.8f);
  add(4, pill(79), 0.6f);
  add(5, pill(84), 0.6f);
  add(6, tileLanding(), 0.8f);
  add(7, jump(), 0.7f);
  add(8, powerUp(), 0.7f);
  add(9, zap(), 0.65f);
  add(10, explosion(), 0.85f);
  add(11, click(), 0.6f);
  add(12, bonus(), 0.7f);
  add(13, error(), 0.7f);
  add(14, whoosh(), 0.7f);
  for (int k = 0; k < 4; ++k) add(15 + k, friendJoins(k), 0.75f);
  add(19, crumble(), 0.7f);
  add(20, spikeClank(), 0.7f);
  add(21, teleport(), 0.7f);
  add(95, levelStart(), 0.7f);
  add(96, jingle(), 0.85f);
  add(98, confirm(), 0.7f);
  add(99, select(), 0.6f);
  return s;
}

}  // namespace assetgen
