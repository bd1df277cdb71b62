// A small chip-style synthesiser: classic waveforms, envelopes, pitch slides and vibrato, and
// three drum voices, rendered into float buffers. Shared by the sound effects and the tunes.
// Everything is deterministic: noise comes from a linear-feedback shift register, not from a
// random source.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace assetgen {

enum class Wave { Square, Triangle, Saw, Sine, Noise };

struct Note {
  Wave wave = Wave::Square;
  float freq = 440.0f;        // Hz at the start
  float freqEnd = 0.0f;       // Hz at the end of the note (slide); 0 = no slide
  float slideCurve = 1.0f;    // >1 slides late, <1 slides early (exponent on time)
  float duty = 0.5f;          // pulse width for Square
  float dutySweep = 0.0f;     // duty change per second
  float length = 0.2f;        // seconds the note is held (before release)
  float attack = 0.002f;
  float decay = 0.05f;
  float sustain = 0.7f;       // level after decay
  float release = 0.05f;
  float volume = 0.5f;
  float vibratoDepth = 0.0f;  // semitones
  float vibratoRate = 6.0f;   // Hz
  float vibratoDelay = 0.1f;  // seconds before vibrato starts
  float arpeggio[3] = {0, 0, 0};  // semitone offsets cycled every arpSpeed seconds (0 = off)
  float arpSpeed = 0.0f;
  float lowpass = 0.0f;       // one-pole low-pass cutoff in Hz, 0 = none
  uint32_t noiseSeed = 1;
  float noiseRate = 0.0f;     // Hz at which the noise register steps, 0 = follow freq
};

float midiToHz(float midi);

// Renders a note and adds it into `out` (mono) starting at sample `at`; grows `out` as needed.
// Returns the number of samples the note occupies including its release.
size_t renderNote(std::vector<float>& out, size_t at, const Note& n, int rate);

// Drum voices, added into `out` at sample `at` with the given volume.
void kick(std::vector<float>& out, size_t at, float volume, int rate);
void snare(std::vector<float>& out, size_t at, float volume, int rate, uint32_t seed);
void hat(std::vector<float>& out, size_t at, float volume, int rate, bool open, uint32_t seed);

// Removes the constant offset that pulse waves of uneven duty leave (a gentle high-pass at
// about 20 Hz).
void removeDc(std::vector<float>& buf, int rate);

// Scales the buffer so its peak is `peak`, and fades the last `fadeSeconds` out.
void normalise(std::vector<float>& buf, float peak);
void fadeOut(std::vector<float>& buf, float fadeSeconds, int rate);

}  // namespace assetgen
