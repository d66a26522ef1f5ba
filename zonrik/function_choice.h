// The statistic a run computes for every zone, chosen by name.
#pragma once

#include <optional>
#include <string>

// Function codes (`f_type`).
namespace function_code {
constexpr int mean = 0;
constexpr int variance = 1;
constexpr int log_mean = 2;
constexpr int log_variance = 3;
constexpr int cover = 4;               // c_cover
constexpr int temperature = 5;         // sp_temp
constexpr int standard_deviation = 6;  // sqrt_variance
}  // namespace function_code

// The code of `typology`, which must be one of the three accepted spellings
// of a function name exactly ("mean", "Mean", "MEAN", ...); prints the
// function's confirmation line. None for any other text (nothing printed).
std::optional<int> choose_function(const std::string& typology);
