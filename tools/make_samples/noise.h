// Deterministic pseudo-random numbers and textures: the same sequence and the
// same pixels on every platform (no standard-library distributions, whose
// algorithms differ between implementations).
#pragma once

#include <cstdint>

namespace samples {

// The splitmix64 generator.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next();
    // A whole number from lo to hi, both included (lo <= hi).
    int range(int lo, int hi);
    // True with a chance of percent in 100.
    bool chance(int percent) { return range(0, 99) < percent; }

private:
    std::uint64_t state_;
};

// A value from -amplitude to amplitude that depends only on (x, y, seed):
// fine grain for textures.
int grain(int x, int y, std::uint32_t seed, int amplitude);

// Smooth value noise from -amplitude to amplitude: random values on a lattice
// of `cell` pixels, blended with a smoothstep between lattice points.
int smooth_noise(int x, int y, int cell, std::uint32_t seed, int amplitude);

}  // namespace samples
