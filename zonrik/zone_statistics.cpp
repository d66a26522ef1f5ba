#include "zone_statistics.h"

#include <cmath>

namespace {

constexpr double kelvin_offset = 273.16;
// What a value of 0 adds to the sum of logarithms.
constexpr double log_of_zero = 0.1;
// The cover picture's index of a pixel in no zone, and of a pixel without a
// value.
constexpr std::uint8_t no_zone_index = 255;

bool valid(float v) { return !std::isnan(v); }

std::uint8_t cover_index(float r)
{
    const float index = (1.0f - r) * 239.0f + 16.0f;
    if (!(index >= 0.0f)) return 0;
    if (index >= 255.0f) return 255;
    return static_cast<std::uint8_t>(index);
}

}  // namespace

float zone_mean(const std::vector<float>& v)
{
    double l = 0;
    int k = 0;
    for (float value : v) {
        if (!valid(value)) continue;
        l += value;
        ++k;
    }
    return static_cast<float>(l / k);
}

float zone_variance(const std::vector<float>& v)
{
    const float m = zone_mean(v);
    double l = 0;
    int k = 0;
    for (float value : v) {
        if (!valid(value)) continue;
        const float difference = value - m;
        l += static_cast<double>(difference) * difference;
        ++k;
    }
    return static_cast<float>(l) / k;
}

float zone_standard_deviation(const std::vector<float>& v)
{
    return std::sqrt(zone_variance(v));
}

float zone_log_mean(const std::vector<float>& v)
{
    double l = 0;
    int k = 0;
    for (float value : v) {
        if (!valid(value)) continue;
        if (value != 0) {
            const double logarithm = std::log(static_cast<double>(value));
            if (std::isnan(logarithm)) continue;
            l += logarithm;
        } else {
            l += log_of_zero;
        }
        ++k;
    }
    return static_cast<float>(l / k);
}

float zone_log_variance(const std::vector<float>& v)
{
    const float m = zone_log_mean(v);
    double l = 0;
    int k = 0;
    for (float value : v) {
        if (!valid(value)) continue;
        if (value != 0) {
            const double difference = std::log(static_cast<double>(value)) - m;
            const double term = difference * difference;
            if (std::isnan(term)) continue;
            l += term;
        } else {
            const double difference = std::log(log_of_zero) - m;
            l += difference * difference;
        }
        ++k;
    }
    return static_cast<float>(l) / k;
}

ZoneCover zone_cover(const std::vector<float>& v, const CoverThresholds& thresholds, std::uint8_t nullo)
{
    ZoneCover cover;
    cover.indices.reserve(v.size());
    for (float value : v) {
        if (!valid(value)) {
            cover.indices.push_back(no_zone_index);
            continue;
        }
        std::uint8_t index = nullo;
        if (value > thresholds.f_min && value >= thresholds.f_max) {
            cover.snow_cover += 1;
            index = 16;
        } else if (value > thresholds.f_min && value < thresholds.f_max) {
            const float r = value / thresholds.f_max;
            cover.snow_cover += r;
            index = cover_index(r);
        }
        cover.indices.push_back(index);
        ++cover.k;
    }
    cover.percentage = cover.snow_cover * 100 / static_cast<float>(cover.k);
    return cover;
}

ZoneTemperature zone_temperature(const std::vector<float>& v)
{
    ZoneTemperature temperature;
    double l = 0;
    int k = 0;
    for (float value : v) {
        if (!valid(value)) continue;
        const double t = value - kelvin_offset;
        if (t > temperature.f_max) temperature.f_max = static_cast<float>(t);
        if (t < temperature.f_min) temperature.f_min = static_cast<float>(t);
        l += t;
        ++k;
    }
    temperature.mean = static_cast<float>(l) / k;
    l = 0;
    for (float value : v) {
        if (!valid(value)) continue;
        const double deviation = (value - kelvin_offset) - temperature.mean;
        l += deviation * deviation;
    }
    temperature.variance = static_cast<float>(l) / k;
    return temperature;
}
