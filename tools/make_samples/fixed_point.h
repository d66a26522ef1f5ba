// Integer arithmetic for the sample scenes. Every byte the generator writes
// comes from integers, so the files are the same on every compiler and
// platform: lengths are held in fixed point with 16 fraction bits.
#pragma once

#include <cstdint>
#include <string>

namespace samples {

constexpr std::int64_t fixed_one = 65536;  // 1.0 with 16 fraction bits

// a / b rounded to the nearest integer, halves away from zero (b > 0).
constexpr std::int64_t divide_rounded(std::int64_t a, std::int64_t b)
{
    return a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b);
}

// Largest r with r * r <= n (n >= 0).
std::int64_t integer_sqrt(std::int64_t n);

// A count of hundredths as decimal text with two decimals ("12.40",
// "-0.05"), for the text files.
std::string two_decimals(std::int64_t hundredths);

}  // namespace samples
