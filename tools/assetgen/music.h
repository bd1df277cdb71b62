// The procedural music player's demo song: its pattern image ("music/demo.png") and the instrument
// samples it plays ("inst/d1-1.wav" ... "inst/d2-8.wav", "inst/lead1.wav", "inst/accompany1.wav",
// "inst/bass1.wav").
//
// The song image holds 64 frames of 64 x 64 pixels, 8 across and 8 down. In frame p, pixel (x, y)
// carries value x mod 8 of voice x div 8 at step y of pattern p as blue = value * 8 + 4 (the player
// reads blue >> 3); red and green are 0 and every pixel is opaque. Voices: 0 drum kit 1, 1 drum
// kit 2, 2 lead, 3 accompaniment, 4 bass. Notes are player note numbers, 13 being the sample's own
// pitch, so the three melodic samples are tuned an octave apart on one C.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster.h"

namespace assetgen {

constexpr int kInstrumentRate = 22050;

// Pattern layout shared with the player: value k of voice v at step s of pattern p.
constexpr int kSongPatterns = 64, kSongVoices = 8, kSongSteps = 64, kSongValues = 8;
constexpr int songIndex(int p, int v, int s, int k) {
  return ((p * kSongVoices + v) * kSongSteps + s) * kSongValues + k;
}
// Cell values and the effects the demo uses.
constexpr int kCellNote = 0, kCellVolume = 1, kCellEffect = 2, kCellParameter = 3;
constexpr int kFxSlideDown = 2, kFxSlideDownFast = 4, kFxBreak = 8, kFxAlternate = 27;

// All values of the demo song, 0..31 each, in the layout above.
std::vector<uint8_t> makeDemoSongPatterns();
// The song image of those values.
Image renderSongImage(const std::vector<uint8_t>& patterns);

struct InstrumentSample {
  std::string name;            // file name below "inst/", without ".wav"
  std::vector<float> samples;  // mono, kInstrumentRate, in -1..1
};
// The two drum kits (d1-1 ... d2-8) and the three looping melodic instruments.
std::vector<InstrumentSample> makeInstrumentSamples();

}  // namespace assetgen
