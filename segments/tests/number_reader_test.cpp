#include "number_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Result = NumberReader::Result;

// Every number of the text, and how the reading ended.
struct Reading {
    std::vector<float> values;
    Result end;
};

Reading read_all(const std::string& text)
{
    NumberReader reader(text);
    Reading r;
    float v;
    while ((r.end = reader.read_float(v)) == Result::number) r.values.push_back(v);
    return r;
}

}  // namespace

TEST(NumberReader, NumbersEndWhereTheyCannotGoOn)
{
    const Reading r = read_all(" 12\t-3.5\r\n+7 1-2 .5 4. 1.2.3 2e2 3E-1\n");
    EXPECT_EQ(r.values, (std::vector<float>{12, -3.5f, 7, 1, -2, 0.5f, 4, 1.2f, 0.3f, 200, 0.3f}));
    EXPECT_EQ(r.end, Result::end_of_input);
}

TEST(NumberReader, WordsAndBrokenNumbersAreNotNumbers)
{
    for (const char* text : {"abc", "-", ".", "-.", "+x", "+.e", "inf", "nan", ",5"}) {
        const Reading r = read_all(text);
        EXPECT_EQ(r.end, Result::not_a_number) << text;
        EXPECT_TRUE(r.values.empty()) << text;
    }
    const Reading r = read_all("1.5abc 2");
    EXPECT_EQ(r.values, std::vector<float>{1.5f});
    EXPECT_EQ(r.end, Result::not_a_number);
}

TEST(NumberReader, ExponentMarkWithoutDigitsIsSwallowed)
{
    EXPECT_EQ(read_all("1e 5 1e+ 7 -.5e 6").values, (std::vector<float>{1, 5, 1, 7, -0.5f, 6}));
    const Reading r = read_all("1ex5");
    EXPECT_EQ(r.values, std::vector<float>{1});
    EXPECT_EQ(r.end, Result::not_a_number);
}

TEST(NumberReader, EmptyAndBlankTextsEndAtOnce)
{
    EXPECT_EQ(read_all("").end, Result::end_of_input);
    EXPECT_EQ(read_all(" \r\n\t ").end, Result::end_of_input);
}

TEST(NumberReader, NegativeZeroAndOverflowAsTheCLibraryReadsThem)
{
    const Reading r = read_all("-0 1e39 -0.0");
    ASSERT_EQ(r.values.size(), 3u);
    EXPECT_TRUE(std::signbit(r.values[0]));
    EXPECT_TRUE(std::isinf(r.values[1]));
    EXPECT_TRUE(std::signbit(r.values[2]));
}

// The quick conversion of short numbers must round exactly as strtof does.
TEST(NumberReader, RoundsLikeStrtofOnRandomNumbers)
{
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> digit_count(1, 12), digit(0, 9), point(-1, 12), sign(0, 2);
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        const int s = sign(rng);
        if (s == 1) text += '-';
        if (s == 2) text += '+';
        const int n = digit_count(rng);
        const int dot = point(rng);
        for (int d = 0; d < n; ++d) {
            if (d == dot) text += '.';
            text += static_cast<char>('0' + digit(rng));
        }
        NumberReader reader(text);
        float v = 0;
        ASSERT_EQ(reader.read_float(v), Result::number) << text;
        const float expected = std::strtof(text.c_str(), nullptr);
        ASSERT_EQ(std::memcmp(&v, &expected, sizeof v), 0) << text;
    }
}

TEST(NumberReader, ReadsAFileAcrossItsBufferBoundaries)
{
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    std::string text;
    for (int i = 0; i < 40000; ++i) text += std::to_string(i) + (i % 3 ? " " : "\r\n");
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    NumberReader reader(f);
    float v;
    int count = 0;
    while (reader.read_float(v) == Result::number) {
        ASSERT_EQ(v, static_cast<float>(count));
        ++count;
    }
    EXPECT_EQ(count, 40000);
    std::fclose(f);
}

#ifdef __GLIBC__
// The reader against the C library's own "%f" on random first lines (hexadecimal
// numbers, which the C library also takes, are left out).
TEST(NumberReader, MatchesTheCLibraryOnRandomLines)
{
    const std::string alphabet = "0123456789012345 .-+eE\t\rw";
    std::mt19937 rng(777);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1), length(0, 39);
    for (int i = 0; i < 100000; ++i) {
        std::string text;
        const std::size_t n = length(rng);
        for (std::size_t j = 0; j < n; ++j) text += alphabet[pick(rng)];
        float c[7] = {};
        int expected = std::sscanf(text.c_str(), "%f %f %f %f %f %f %f", &c[0], &c[1], &c[2], &c[3], &c[4], &c[5], &c[6]);
        if (expected < 0) expected = 0;
        const Reading r = read_all(text);
        const int got = static_cast<int>(std::min<std::size_t>(r.values.size(), 7));
        ASSERT_EQ(got, expected) << '"' << text << '"';
        for (int k = 0; k < got; ++k) ASSERT_EQ(r.values[k], c[k]) << '"' << text << '"';
    }
}
#endif
