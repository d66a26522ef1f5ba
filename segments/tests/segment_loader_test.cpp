#include "segment_loader.h"

#include "file.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::TempDir;

namespace {

// Loads `text` written to a file, in the plain form or, with a height, the
// row-flipping form.
std::optional<SegmentTable> load_text(const std::string& text, const int* height = nullptr)
{
    TempDir dir;
    const std::string name = dir.file("segmenti.txt");
    testsupport::write_text(name, text);
    File fp = open_file(name, "rb");
    if (!fp) throw std::runtime_error("cannot open " + name);
    return height ? MOD_caricamento(fp.get(), *height) : MOD_caricamento(fp.get());
}

std::vector<float> values_of(const SegmentTable& t)
{
    return std::vector<float>(t.Pixel.begin(), t.Pixel.begin() + static_cast<long>(t.n_segm) * t.fuzzy);
}

// A first line of four numbers whose fifth number begins at character
// `fifth_at` (counted from 0).
std::string line_with_fifth_at(int fifth_at)
{
    std::string line = "1 2 3 4";
    line.append(static_cast<std::size_t>(fifth_at) - line.size(), ' ');
    return line + "-5.93";
}

}  // namespace

TEST(SegmentLoader, LineExtractorFileWithCrLfLoadsFiveValuesPerLine)
{
    const auto t = load_text("   12    40    57    88 -5.93\r\n    1     2     3     4  0.50\r\n");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->fuzzy, 5);
    EXPECT_EQ(t->n_segm, 2);
    EXPECT_EQ(values_of(*t), (std::vector<float>{12, 40, 57, 88, -5.93f, 1, 2, 3, 4, 0.5f}));
}

TEST(SegmentLoader, RecordsAreCutFromTheNumberStreamNotFromLines)
{
    // Four on the first line, five after: records of four, misaligned.
    const auto t = load_text("1 2 3 4\n5 6 7 8 9\n10 11 12\n");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->fuzzy, 4);
    EXPECT_EQ(values_of(*t), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    // One record spread over several lines.
    const auto spread = load_text("1 2 3 4 5\n6\n7 8\n9 10\n");
    ASSERT_TRUE(spread);
    EXPECT_EQ(spread->n_segm, 2);
    // The same misalignment with a count that is no multiple of four fails.
    EXPECT_FALSE(load_text("1 2 3 4\n5 6 7 8 9\n10 11 12 13 14\n"));
}

TEST(SegmentLoader, FirstLineIsJudgedOnItsFirst39Characters)
{
    // Fifth value beginning after the 39th character: a four-value file.
    const std::string late = line_with_fifth_at(39);
    std::string text;
    for (int i = 0; i < 4; ++i) text += late + "\n";
    const auto t = load_text(text);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->fuzzy, 4);
    EXPECT_EQ(t->n_segm, 5);

    // Beginning at the 39th character, even cut short ("-"), it is no
    // number either; at the 38th ("-5" of "-5.93") it counts.
    EXPECT_EQ(load_text(line_with_fifth_at(38) + "\n" + "1 2 3\n")->fuzzy, 4);
    const auto five = load_text(line_with_fifth_at(37) + "\n");
    ASSERT_TRUE(five);
    EXPECT_EQ(five->fuzzy, 5);
    EXPECT_EQ(five->record(0)[4], -5.93f);
}

TEST(SegmentLoader, CarriageReturnsChangeNoJudgement)
{
    for (int fifth_at : {30, 33, 34, 35, 37, 38, 39, 40}) {
        std::string line = line_with_fifth_at(fifth_at);
        std::string lf, crlf;
        for (int i = 0; i < 4; ++i) {
            lf += line + "\n";
            crlf += line + "\r\n";
        }
        const auto a = load_text(lf);
        const auto b = load_text(crlf);
        ASSERT_EQ(a.has_value(), b.has_value()) << fifth_at;
        if (a) {
            EXPECT_EQ(a->fuzzy, b->fuzzy) << fifth_at;
            EXPECT_EQ(values_of(*a), values_of(*b)) << fifth_at;
        }
    }
}

TEST(SegmentLoader, FirstLineWithoutFourOrFiveNumbersFails)
{
    EXPECT_FALSE(load_text("1 2 3\n4 5 6\n"));
    EXPECT_FALSE(load_text("1 2 3 4 5 6\n"));
    EXPECT_FALSE(load_text(""));
    EXPECT_FALSE(load_text("\r\n1 2 3 4\n"));
    EXPECT_FALSE(load_text("x1 y1 x2 y2\n1 2 3 4\n"));
}

TEST(SegmentLoader, StrayWordEndsTheReading)
{
    const auto t = load_text("1 2 3 4\n5 6 7 8\nend\n9 10 11 12\n");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->n_segm, 2);
    EXPECT_EQ(values_of(*t), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8}));
    // A word inside a record leaves it incomplete.
    EXPECT_FALSE(load_text("1 2 3 4\n5 6 oops 7 8\n"));
}

TEST(SegmentLoader, IncompleteLastRecordFails)
{
    EXPECT_FALSE(load_text("1 2 3 4 5\n6 7 8 9\n"));
    EXPECT_FALSE(load_text("1 2 3 4\n5\n"));
}

TEST(SegmentLoader, TableGrowsAtThe237thRecord)
{
    std::string text;
    for (int i = 0; i < 236; ++i) text += std::to_string(i) + " 1 2 3\n";
    const auto before = load_text(text);
    ASSERT_TRUE(before);
    EXPECT_EQ(before->n_segm, 236);
    EXPECT_EQ(before->totale, 256);

    text += "236 1 2 3\n";
    const auto after = load_text(text);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->n_segm, 237);
    EXPECT_EQ(after->totale, 512);
    EXPECT_EQ(after->record(236)[0], 236.0f);

    // Many records: every one kept, room always ahead.
    std::string many;
    for (int i = 0; i < 20000; ++i) many += std::to_string(i) + " 1 2 3 0.5\n";
    const auto big = load_text(many);
    ASSERT_TRUE(big);
    EXPECT_EQ(big->n_segm, 20000);
    EXPECT_GE(big->totale - big->n_segm, 20);
    EXPECT_EQ(big->totale % 256, 0);
    EXPECT_EQ(big->record(19999)[0], 19999.0f);
}

TEST(SegmentLoader, RowFlippingFormNumbersRowsFromTheBottom)
{
    const int height = 100;
    const auto t = load_text("5 0 7 99 0.25\n0 50 1 -1 3\n", &height);
    ASSERT_TRUE(t);
    EXPECT_EQ(values_of(*t), (std::vector<float>{5, 99, 7, 0, 0.25f, 0, 49, 1, 100, 3}));
}

TEST(SegmentLoader, RowFlipRoundsToSingleAtEachStep)
{
    // 16777217 is 16777216 as a float; 16777216 - 0.5 rounds to 16777216,
    // minus 1 gives 16777215 (in one double step it would be 16777216).
    const int height = 16777217;
    const auto t = load_text("0 0.5 0 0.5\n", &height);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->record(0)[1], 16777215.0f);
}

TEST(SegmentLoader, PlainAndFlippingFormsAgreeOnXAndCount)
{
    const int height = 10;
    const std::string text = "1 2 3 4\n5 6 7 8\n";
    const auto plain = load_text(text);
    const auto flipped = load_text(text, &height);
    ASSERT_TRUE(plain && flipped);
    EXPECT_EQ(plain->n_segm, flipped->n_segm);
    EXPECT_EQ(values_of(*plain), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(values_of(*flipped), (std::vector<float>{1, 7, 3, 5, 5, 3, 7, 1}));
}
