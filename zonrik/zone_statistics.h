// The statistics of a zone, computed from the background values of its
// pixels in the zone's pixel order (row by row from the bottom, left to
// right). Sums are kept in double; every result is a float. A pixel is valid
// when its value is not NaN: a NaN is no measurement (a raster's nodata is
// read as NaN), so every function uses valid pixels only. A zone with no
// pixel taken gives NaN (zero divided by zero).
#pragma once

#include <cstdint>
#include <vector>

// (float)(l / k): the mean of the valid values.
float zone_mean(const std::vector<float>& v);

// The population variance about the mean m (a float): each v - m is a float
// difference, squared and summed in double; (float)l / k.
float zone_variance(const std::vector<float>& v);

// The square root of zone_variance.
float zone_standard_deviation(const std::vector<float>& v);

// The mean of the natural logarithms (not taken back): a value of 0 adds 0.1
// itself, a negative value (a NaN logarithm) is left out; (float)(l / k).
float zone_log_mean(const std::vector<float>& v);

// The variance of the logarithms about the log mean m (a float): a value of
// 0 adds (ln 0.1 - m)^2, a NaN term is left out; (float)l / k.
float zone_log_variance(const std::vector<float>& v);

// The cover of a zone between the albedo thresholds: a pixel above f_min and
// at least f_max is covered (picture index 16); above f_min and below f_max
// it is covered by r = v / f_max (index (1 - r) * 239 + 16 truncated, in
// single precision, kept within 0..255); otherwise it is uncovered (index
// `nullo`). A NaN pixel is neither: it is left out of the count and of the
// percentage, and shown as no zone (index 255).
struct CoverThresholds {
    float f_max = 0;
    float f_min = 0;
};

struct ZoneCover {
    float snow_cover = 0;  // covered pixels, partly covered ones by fraction
    int k = 0;             // valid pixels of the zone
    float percentage = 0;  // snow_cover * 100 / k: the zone's value
    std::vector<std::uint8_t> indices;  // picture index of each pixel, in zone order
};

ZoneCover zone_cover(const std::vector<float>& v, const CoverThresholds& thresholds, std::uint8_t nullo);

// Temperatures of a background in kelvin, reported in degrees Celsius
// (t = v - 273.16 in double): extremes (1000 and -1000 when no pixel is
// valid), the mean m = (float)l / k, the variance of t about m,
// (float)l / k. The zone's value is the mean.
struct ZoneTemperature {
    float f_min = 1000.0f;
    float f_max = -1000.0f;
    float mean = 0;
    float variance = 0;
};

ZoneTemperature zone_temperature(const std::vector<float>& v);
