#include "console.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// A console reading the given text.
class ConsoleOn {
public:
    explicit ConsoleOn(const std::string& text) : file_(std::tmpfile())
    {
        std::fputs(text.c_str(), file_);
        std::rewind(file_);
    }
    ~ConsoleOn() { std::fclose(file_); }
    Console console() { return Console(file_); }

private:
    std::FILE* file_;
};

TEST(Console, ReadsWordsAndNumbersAcrossLines)
{
    ConsoleOn input("  in.bmp\nout\n 12 -3.5e1\n");
    Console console = input.console();
    EXPECT_EQ(console.read_word(), "in.bmp");
    EXPECT_EQ(console.read_word(), "out");
    EXPECT_EQ(console.read_int(), 12);
    EXPECT_FLOAT_EQ(console.read_float(), -35.0f);
}

TEST(Console, NonNumericAnswerReadsAsZeroAndIsConsumed)
{
    ConsoleOn input("abc 7\n");
    Console console = input.console();
    EXPECT_EQ(console.read_int(), 0);
    EXPECT_EQ(console.read_int(), 7);
}

TEST(Console, NumberStopsAtFirstForeignCharacter)
{
    ConsoleOn input("99.9x 5e 3\n");
    Console console = input.console();
    EXPECT_EQ(console.read_int(), 99);
    EXPECT_EQ(console.read_word(), ".9x");
    EXPECT_FLOAT_EQ(console.read_float(), 5.0f);  // "e" without digits is no exponent
    EXPECT_EQ(console.read_word(), "e");
    EXPECT_EQ(console.read_int(), 3);
}

TEST(Console, FlushDiscardsRestOfLineOnlyWhenSomethingOfItWasRead)
{
    ConsoleOn input("first word rest\nsecond\n");
    Console console = input.console();
    console.flush_input();  // nothing read yet: nothing discarded
    EXPECT_EQ(console.read_word(), "first");
    console.flush_input();
    EXPECT_EQ(console.read_word(), "second");
    console.flush_input();
    EXPECT_THROW(console.read_word(), InputEnded);
}

TEST(Console, FlushAfterConsumedNewlineWaitsForNothing)
{
    ConsoleOn input("x\nnext\n");
    Console console = input.console();
    EXPECT_EQ(console.read_char(), 'x');
    EXPECT_EQ(console.read_char(), '\n');
    console.flush_input();
    EXPECT_EQ(console.read_word(), "next");
}

TEST(Console, EndOfInputThrowsForAnswersButNotForWaits)
{
    ConsoleOn input("");
    Console console = input.console();
    console.wait_for_key();
    console.flush_input();
    EXPECT_THROW(console.read_int(), InputEnded);
    EXPECT_THROW(console.read_float(), InputEnded);
    EXPECT_THROW(console.read_char(), InputEnded);
}

TEST(Console, IntegersBeyondRangeAreClamped)
{
    ConsoleOn input("99999999999 -99999999999\n");
    Console console = input.console();
    EXPECT_EQ(console.read_int(), 2147483647);
    EXPECT_EQ(console.read_int(), -2147483647 - 1);
}

}  // namespace
