// Deterministic noise for textures: smooth value noise on an integer lattice, optionally periodic so a
// texture tiles seamlessly, and fractal sums of it.
#pragma once

#include <cstdint>

class ValueNoise {
  public:
    explicit ValueNoise(uint32_t seed) : seed_(seed) {}
    // Noise in [0, 1] at (x, y) (lattice units). With a period > 0 the noise repeats every period units
    // in both directions.
    float At(float x, float y, int period = 0) const;
    // A sum of octaves, each twice the frequency and half the amplitude of the one before, in [0, 1].
    // The period (of the first octave) doubles with the frequency, so a periodic sum stays periodic.
    float Fractal(float x, float y, int octaves, int period = 0) const;
    // The lattice value at integer point (i, j), in [0, 1].
    float Lattice(int i, int j) const;

  private:
    uint32_t seed_;
};

// A 32-bit integer hash (good avalanche), for seeding and per-item randomness.
uint32_t HashInts(uint32_t a, uint32_t b = 0, uint32_t c = 0);
// A float in [0, 1) from a hash.
float HashUnit(uint32_t a, uint32_t b = 0, uint32_t c = 0);
