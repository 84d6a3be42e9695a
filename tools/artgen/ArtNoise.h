#pragma once

#include <cstdint>

// Integer hashing and noise for the generators: the same numbers on every machine and every
// run, with no state shared between pictures.
uint32_t hashInts(int x, int y, uint32_t seed);
// A number in [0, 1) from the hash of x, y and seed.
float hashUnit(int x, int y, uint32_t seed);

// Smooth value noise in [0, 1) that repeats every `period` pixels in x and y. `cell` must
// divide `period`.
float periodicNoise(float x, float y, int period, int cell, uint32_t seed);
// Three octaves of periodic noise (cells of `cell`, `cell` / 2, `cell` / 4), in [0, 1).
float periodicFbm(float x, float y, int period, int cell, uint32_t seed);

// A small xorshift generator for sequences of random choices with a fixed seed.
class Prng {
  public:
    explicit Prng(uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}
    uint32_t next();
    // A number in [0, 1).
    float unit();
    // An integer in [lo, hi].
    int range(int lo, int hi);

  private:
    uint32_t state_;
};
