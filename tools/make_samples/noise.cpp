#include "noise.h"

#include "fixed_point.h"

namespace samples {

namespace {

std::uint64_t mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t hash(int x, int y, std::uint32_t seed)
{
    const std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) ^
                              static_cast<std::uint32_t>(y) ^ (static_cast<std::uint64_t>(seed) << 17);
    return mix(key + 0x9E3779B97F4A7C15ULL * (seed + 1));
}

// Lattice value from -amplitude to amplitude.
std::int64_t lattice(int i, int j, std::uint32_t seed, int amplitude)
{
    return static_cast<std::int64_t>(hash(i, j, seed) % (2 * static_cast<std::uint64_t>(amplitude) + 1)) - amplitude;
}

// 3t^2 - 2t^3 for t in [0, 1], in fixed point.
std::int64_t smoothstep(std::int64_t t)
{
    return t * t / fixed_one * (3 * fixed_one - 2 * t) / fixed_one;
}

// Integer division rounding towards minus infinity.
int floor_divide(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

std::uint64_t Random::next()
{
    state_ += 0x9E3779B97F4A7C15ULL;
    return mix(state_);
}

int Random::range(int lo, int hi)
{
    const std::uint64_t span = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo) + 1;
    return static_cast<int>(lo + static_cast<std::int64_t>(next() % span));
}

int grain(int x, int y, std::uint32_t seed, int amplitude)
{
    return static_cast<int>(lattice(x, y, seed ^ 0x5A5A5A5Au, amplitude));
}

int smooth_noise(int x, int y, int cell, std::uint32_t seed, int amplitude)
{
    const int i = floor_divide(x, cell), j = floor_divide(y, cell);
    const std::int64_t tx = smoothstep(static_cast<std::int64_t>(x - i * cell) * fixed_one / cell);
    const std::int64_t ty = smoothstep(static_cast<std::int64_t>(y - j * cell) * fixed_one / cell);
    const std::int64_t top = lattice(i, j, seed, amplitude) * (fixed_one - tx) + lattice(i + 1, j, seed, amplitude) * tx;
    const std::int64_t bottom =
        lattice(i, j + 1, seed, amplitude) * (fixed_one - tx) + lattice(i + 1, j + 1, seed, amplitude) * tx;
    return static_cast<int>(divide_rounded(top * (fixed_one - ty) + bottom * ty, fixed_one * fixed_one));
}

}  // namespace samples
