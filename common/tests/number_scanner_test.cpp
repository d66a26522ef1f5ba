// The scanner against the C library on random texts ("%d" and "%lf" as the
// GNU C library reads them: value and characters taken), and a file whose
// numbers straddle the blocks it is read in.
#include "number_scanner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// Random texts made of the given pieces.
std::string random_text(std::mt19937& rng, const std::vector<std::string>& pieces, std::size_t most)
{
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1), length(0, most);
    std::string text;
    for (std::size_t n = length(rng); n > 0; --n) text += pieces[pick(rng)];
    return text;
}

}  // namespace

#ifdef __GLIBC__
TEST(NumberScanner, IntegersAsTheCLibraryReadsThem)
{
    if (sizeof(long) != 8) GTEST_SKIP() << "the low 32 bits are those of a 64-bit long";
    const std::vector<std::string> pieces = {"0", "1", "7", "9", "99999", "2147483647", "-", "+", " ", "\t", "x", "."};
    std::mt19937 rng(4242);
    for (int i = 0; i < 100000; ++i) {
        const std::string text = random_text(rng, pieces, 8);
        int expected = 0, used = 0;
        const bool converted = std::sscanf(text.c_str(), "%d%n", &expected, &used) == 1;
        TextSource in(text);
        const std::optional<int> got = scan_int(in, OutOfRange::wrap);
        ASSERT_EQ(got.has_value(), converted) << '"' << text << '"';
        if (!converted) continue;
        ASSERT_EQ(*got, expected) << '"' << text << '"';
        ASSERT_EQ(in.position(), static_cast<std::size_t>(used)) << '"' << text << '"';
    }
}

TEST(NumberScanner, DoublesAsTheCLibraryReadsThem)
{
    const std::vector<std::string> pieces = {"0", "1", "9", "0x", "0X", ".", "e", "E", "p", "P", "+", "-", "a", "f",
                                             "inf", "INF", "inity", "in", "nan", "NaN", "na", "x", " ", "9e99999"};
    std::mt19937 rng(2424);
    for (int i = 0; i < 200000; ++i) {
        const std::string text = random_text(rng, pieces, 6);
        double expected = 0;
        int used = 0;
        const bool converted = std::sscanf(text.c_str(), "%lf%n", &expected, &used) == 1;
        TextSource in(text);
        skip_blanks(in);
        std::string number;
        ASSERT_EQ(scan_number(in, NumberForm::c_library_float(), number), converted) << '"' << text << '"';
        if (!converted) continue;
        const double got = std::strtod(number.c_str(), nullptr);
        ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << '"' << text << '"';
        ASSERT_EQ(in.position(), static_cast<std::size_t>(used)) << '"' << text << '"';
    }
}
#endif

TEST(NumberScanner, FileLooksAheadAcrossItsBlocks)
{
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    // A bare exponent mark cut by the block boundary (64 KiB), a word, a
    // swallowed mark.
    const std::string text = std::string(65534, ' ') + "1e+x infinity 2ex";
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    FileSource in(f);
    std::string number;
    skip_blanks(in);
    ASSERT_TRUE(scan_number(in, NumberForm::decimal(), number));
    EXPECT_EQ(number, "1");
    EXPECT_EQ(in.peek(), 'e');  // put back
    in.advance(3);
    skip_blanks(in);
    ASSERT_TRUE(scan_number(in, NumberForm::c_library_float(), number));
    EXPECT_EQ(number, "infinity");
    skip_blanks(in);
    ASSERT_TRUE(scan_number(in, NumberForm::decimal().swallowing_bare_exponent(), number));
    EXPECT_EQ(number, "2");
    EXPECT_EQ(in.peek(), 'x');  // the mark swallowed
    in.advance();
    EXPECT_EQ(in.peek(), -1);
    std::fclose(f);
}
