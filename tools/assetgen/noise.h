// Deterministic randomness for the generator: an integer hash, a small seeded generator, and
// value noise / cellular noise that can be made to tile with a given period. Nothing here reads
// the clock or any global state, so every run gives the same numbers.
#pragma once

#include <cstdint>

namespace assetgen {

uint32_t hash32(uint32_t x);
uint32_t hash2(int x, int y, uint32_t seed);
float hashFloat(int x, int y, uint32_t seed);  // in [0, 1)

// Small seeded generator (xorshift-style), for choices made while composing.
class Rng {
 public:
  explicit Rng(uint32_t seed) : s_(seed ? seed : 0x9E3779B9u) {}
  uint32_t next();
  float uniform();                       // [0, 1)
  float range(float lo, float hi);       // [lo, hi)
  int below(int n);                      // 0 .. n-1
  bool chance(float p) { return uniform() < p; }

 private:
  uint32_t s_;
};

// Smooth value noise on a lattice of cell size 1; with period > 0 the lattice wraps, so the
// noise tiles every `period` units in both axes.
float valueNoise(float x, float y, uint32_t seed, int period = 0);
// Sum of octaves, each twice the frequency and `gain` times the amplitude of the last; octaves
// finer than `finest` units are left out, so a coarse raster gets no aliasing speckle.
float fbm(float x, float y, uint32_t seed, int octaves, float gain, int period, float finest);

struct Cell {
  float d1, d2;  // distances to the nearest and second-nearest feature point
  uint32_t id;   // hash of the nearest feature's lattice cell
};
// Cellular noise with one feature point per lattice cell, tiling every `period` cells if > 0.
Cell cellular(float x, float y, uint32_t seed, int period = 0);

}  // namespace assetgen
