// Shadow length statistics, heights, and the parameter file grammar.
#include "parameters.h"
#include "shadow_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

std::uint32_t bits(float v)
{
    std::uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

float length_of(std::vector<float> samples, int lines, const TalvernParameters& parameters = {})
{
    return shadow_length(samples, lines, static_cast<int>(samples.size()), parameters);
}

TalvernParameters parsed(const std::string& text)
{
    TalvernParameters parameters;
    read_parameter_text(text, parameters);
    return parameters;
}

}  // namespace

TEST(ShadowLength, NeedsTheMinimumShareOfLinesWithASample)
{
    EXPECT_EQ(length_of({10, 10, 10, 10}, 10), 0.0f);        // 40 % < 50 %
    EXPECT_EQ(length_of({10, 10, 10, 10, 10}, 10), 10.0f);   // 50 % passes
    EXPECT_EQ(length_of({10, 10, 10, 10, 10}, 11), 0.0f);    // 45 % in integer division
    EXPECT_EQ(length_of({}, 0), 0.0f);
}

TEST(ShadowLength, NoSampleGivesNoLengthEvenWithAZeroThreshold)
{
    TalvernParameters parameters;
    parameters.soglia_percentuale_campioni = 0;
    EXPECT_EQ(length_of({}, 7, parameters), 0.0f);
    EXPECT_EQ(length_of({}, 0, parameters), 0.0f);
}

TEST(ShadowLength, SamplesFarFromTheMeanAreDropped)
{
    // Mean 12.5, tolerance 2.5: the 20 goes, the 10s (exactly 2.5 off) stay.
    EXPECT_EQ(length_of({10, 10, 10, 20}, 4), 10.0f);
    // Mean 15, tolerance 3: both go, and the mean stands.
    EXPECT_EQ(length_of({10, 20}, 2), 15.0f);
    // All kept: their mean.
    EXPECT_EQ(length_of({9, 10, 11}, 3), 10.0f);
    // Kept samples all zero: the mean of all stands.
    TalvernParameters parameters;
    parameters.soglia_scostamento_massimo = 0;
    EXPECT_EQ(length_of({0, 0, 0, 3}, 4, parameters), 0.75f);
}

TEST(ShadowLength, MeanIsAccumulatedInSinglePrecision)
{
    std::vector<float> samples = {16777216.0f, 1.0f, 1.0f};  // 2^24 + 1 + 1 stays 2^24 in float
    TalvernParameters parameters;
    parameters.soglia_scostamento_massimo = 1000;
    const float m = length_of(samples, 3, parameters);
    EXPECT_EQ(bits(m), bits(static_cast<float>(16777216.0 / 3)));
}

TEST(Height, TangentWithItsOwnDegreesPerRadianAndSinglePrecisionSteps)
{
    const float h = building_height(10, 45, 0.5f);
    const float product = static_cast<float>(10 * std::tan(45.0f / 57.2965));
    EXPECT_EQ(bits(h), bits(static_cast<float>(product * 0.5)));
    EXPECT_LT(h, 5.0f);  // 45 degrees taken as a little less than pi/4
    EXPECT_NEAR(h, 5.0f, 0.001f);
}

TEST(ParameterFile, KeyNeedsTheBlankBeforeTheEqualsSign)
{
    TalvernParameters p = parsed("max_lenght_shadow = 35\n");
    EXPECT_EQ(p.max_dist_search, 35);
    EXPECT_EQ(p.soglia_blob_shadow, 3);
    EXPECT_EQ(p.soglia_percentuale_campioni, 50);
    EXPECT_EQ(p.soglia_scostamento_massimo, 20);
    EXPECT_EQ(parsed("max_lenght_shadow= 35\n").max_dist_search, 20);
}

TEST(ParameterFile, AllKeysAnyOrderLastWins)
{
    const TalvernParameters p = parsed(
        "max_perc_deviation_sample = 7\r\nmin_perc_shadow_sample =-4\r\n\tmax_gap_building_shadow =   12\r\n"
        "max_perc_deviation_sample = 9");
    EXPECT_EQ(p.soglia_scostamento_massimo, 9);
    EXPECT_EQ(p.soglia_percentuale_campioni, -4);
    EXPECT_EQ(p.soglia_blob_shadow, 12);
    EXPECT_EQ(p.max_dist_search, 20);
}

TEST(ParameterFile, UnknownKeysAndTheirValuesAreSkipped)
{
    // The digits of an unknown key's value are skipped; a sign is not, and
    // becomes part of the next key text.
    EXPECT_EQ(parsed("colour = 12 max_lenght_shadow = 30").max_dist_search, 30);
    EXPECT_EQ(parsed("colour = -12 max_lenght_shadow = 30").max_dist_search, 20);
    // A line without "=" runs into the next key.
    EXPECT_EQ(parsed("# shadows\nmax_lenght_shadow = 30").max_dist_search, 20);
    // A key cut by the end of the file is dropped.
    EXPECT_EQ(parsed("max_lenght_shadow = 30\nmax_lenght_shadow").max_dist_search, 30);
}

TEST(ParameterFile, KeyWithoutAnIntegerKeepsThePreviousValue)
{
    const TalvernParameters p = parsed("max_lenght_shadow = 30\nmax_lenght_shadow = x\nmax_gap_building_shadow =");
    EXPECT_EQ(p.max_dist_search, 30);
    EXPECT_EQ(p.soglia_blob_shadow, 3);
    EXPECT_EQ(parsed("max_lenght_shadow = 99999999999").max_dist_search, 2147483647);
}
