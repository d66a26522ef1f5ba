// The seven statistics on the examples of their definitions, their
// precision, and the report lines.
#include "zone_reports.h"
#include "zone_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
const float nan_value = std::numeric_limits<float>::quiet_NaN();
}

TEST(ZoneStatistics, MeanLeavesNaNPixelsOut)
{
    EXPECT_EQ(zone_mean({1, 2, 3, nan_value}), 2.0f);
    EXPECT_TRUE(std::isnan(zone_mean({})));
    EXPECT_TRUE(std::isnan(zone_mean({nan_value})));
    // Summed in double: a float sum would lose the small values.
    EXPECT_EQ(zone_mean({16777216.0f, 1.0f, 1.0f, 0.0f}), static_cast<float>((16777216.0 + 2.0) / 4));
}

TEST(ZoneStatistics, VarianceAndStandardDeviation)
{
    EXPECT_NEAR(zone_variance({1, 2, 3}), 0.666667, 1e-6);
    EXPECT_EQ(zone_variance({1, 2, 3}), 2.0f / 3);  // (float)l / k
    EXPECT_NEAR(zone_standard_deviation({1, 2, 3}), 0.816497, 1e-6);
    EXPECT_EQ(zone_variance({5, nan_value, 5}), 0.0f);
    EXPECT_TRUE(std::isnan(zone_variance({})));
    // The mean is a float; the deviations are float differences from it.
    const std::vector<float> v = {0.1f, 0.2f, 0.7f};
    const float m = static_cast<float>((double(0.1f) + double(0.2f) + double(0.7f)) / 3);
    double l = 0;
    for (float x : v) l += static_cast<double>(x - m) * static_cast<double>(x - m);
    EXPECT_EQ(zone_variance(v), static_cast<float>(l) / 3);
}

TEST(ZoneStatistics, LogMean)
{
    EXPECT_FLOAT_EQ(zone_log_mean({1, 2.718282f}), 0.5f);
    EXPECT_FLOAT_EQ(zone_log_mean({0, 1}), 0.05f);        // a zero adds 0.1 itself
    EXPECT_EQ(zone_log_mean({-0.0f, 1}), zone_log_mean({0, 1}));
    EXPECT_EQ(zone_log_mean({-5, 1}), 0.0f);              // the negative pixel is left out
    EXPECT_EQ(zone_log_mean({nan_value, 1}), 0.0f);
}

TEST(ZoneStatistics, LogVariance)
{
    // Logarithms 0 and 1: mean 0.5, variance 0.25.
    EXPECT_FLOAT_EQ(zone_log_variance({1, std::exp(1.0f)}), 0.25f);
    // A zero counts with (ln 0.1 - m)^2, m = 0.05.
    const double d0 = std::log(0.1) - 0.05f, d1 = 0 - 0.05f;
    EXPECT_EQ(zone_log_variance({0, 1}), static_cast<float>(d0 * d0 + d1 * d1) / 2);
    EXPECT_EQ(zone_log_variance({-3, 1, 1}), 0.0f);
}

TEST(ZoneStatistics, CoverExample)
{
    const ZoneCover cover = zone_cover({60, 30, 5}, CoverThresholds{50, 10}, 0);
    EXPECT_FLOAT_EQ(cover.snow_cover, 1.6f);
    EXPECT_EQ(cover.k, 3);
    EXPECT_FLOAT_EQ(cover.percentage, 53.333333f);
    EXPECT_EQ(cover.indices, (std::vector<std::uint8_t>{16, 111, 0}));
    EXPECT_EQ(cover_report_line(1, cover), "\n1\t\t1.6\t\t3\t\t53.33\n");
}

TEST(ZoneStatistics, CoverLeavesNaNPixelsOutAndKeepsIndicesInRange)
{
    const ZoneCover cover = zone_cover({nan_value, 50, 10.5f}, CoverThresholds{50, 10}, 7);
    EXPECT_EQ(cover.k, 2);
    EXPECT_FLOAT_EQ(cover.percentage, (1 + 10.5f / 50) * 100 / 2);
    EXPECT_EQ(cover.indices[0], 255);  // no value: shown as no zone
    EXPECT_EQ(cover.indices[1], 16);  // at f_max: covered
    EXPECT_EQ(cover.indices[2], static_cast<int>((1.0f - 10.5f / 50) * 239.0f + 16.0f));
    // Thresholds that make the ratio negative (unchecked input) give the
    // last index rather than an undefined byte.
    const ZoneCover odd = zone_cover({-5}, CoverThresholds{10, -100}, 0);
    EXPECT_EQ(odd.indices[0], 255);
    EXPECT_TRUE(std::isnan(zone_cover({}, CoverThresholds{50, 10}, 0).percentage));
    EXPECT_TRUE(std::isnan(zone_cover({nan_value}, CoverThresholds{50, 10}, 0).percentage));
}

TEST(ZoneStatistics, TemperatureExample)
{
    const ZoneTemperature t = zone_temperature({283.16f, 293.16f, nan_value});
    EXPECT_EQ(temperature_report_line(1, t), "\n1\t\t10.00\t\t\t20.00\t\t15.00\t\t25.00\n");
    EXPECT_FLOAT_EQ(t.mean, 15.0f);
    const ZoneTemperature none = zone_temperature({});
    EXPECT_TRUE(std::isnan(none.mean));
    EXPECT_EQ(temperature_report_line(2, none).rfind("\n2\t\t1000.00\t\t\t-1000.00\t\t", 0), 0u);
}

TEST(ZoneReports, Headers)
{
    EXPECT_EQ(cover_report_header(),
              "Shape\t\tPixel_class\tPixel_tot\t\tPerc(%)\n"
              "\n- - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n");
    const std::string temp = temperature_report_header();
    EXPECT_EQ(temp.substr(0, 45), "Shape\t\tMin_temp\t\tMax_temp\tMean_temp\tVariance\n");
    EXPECT_EQ(std::count(temp.begin(), temp.end(), '-'), 68);
}
