#include "raw.h"

#include "quiet_console.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

using namespace testsupport;

namespace {

const char* const envi_3x2 =
    "ENVI\ndescription = {%s.}\nsamples = 3\nlines = 2\nbands = 1\nheader offset = 0\n"
    "file type = ENVI Standard\ndata type = 4\ninterleave = bsq\nsensor type = Unknown\nbyte order = 0\n";

std::string envi_for(const std::string& description)
{
    char text[512];
    std::snprintf(text, sizeof text, envi_3x2, description.c_str());
    return text;
}

// 3 x 2 raster, row 0 at the bottom: bottom row 1 2 3, top row 4 5 6.
Grid<float> three_by_two()
{
    Grid<float> g(3, 2);
    for (int x = 0; x < 3; ++x) {
        g(x, 0) = static_cast<float>(1 + x);
        g(x, 1) = static_cast<float>(4 + x);
    }
    return g;
}

TEST(FloatRaster, ZoneFormWritesTopRowFirstAndItsHeader)
{
    TempDir dir;
    QuietConsole q;
    std::string name = dir.file("out.raw");
    ASSERT_EQ(raw_32bit_create(q.console, name, three_by_two()), 0);
    EXPECT_EQ(name, dir.file("out"));
    const Bytes b = read_bytes(dir.file("out.raw"));
    ASSERT_EQ(b.size(), 24u);
    EXPECT_EQ(le_float(b, 0), 4.0f);
    EXPECT_EQ(le_float(b, 8), 6.0f);
    EXPECT_EQ(le_float(b, 12), 1.0f);
    EXPECT_EQ(read_text(dir.file("out.hdr")), envi_for(dir.file("out")));
}

TEST(FloatRaster, HeightFormKeepsHeightsOnlyOnTheBuildingColour)
{
    TempDir dir;
    Grid<float> heights = three_by_two();
    heights(0, 0) = -2.0f;  // negative values are left alone
    // Building map, row 0 at the top: the bottom row's middle pixel is not building.
    const std::int32_t red = 0xFF0000;
    Grid<std::int32_t> building(3, 2, red);
    building(1, 1) = 0;
    building(0, 1) = 0;
    ASSERT_EQ(raw_32bit_create(dir.file("h"), heights, building, red), 0);
    const Bytes b = read_bytes(dir.file("h.raw"));
    ASSERT_EQ(b.size(), 24u);
    EXPECT_EQ(le_float(b, 0), 4.0f);
    EXPECT_EQ(le_float(b, 12), -2.0f);
    EXPECT_EQ(le_float(b, 16), 0.0f);
    EXPECT_EQ(le_float(b, 20), 3.0f);
    EXPECT_EQ(read_text(dir.file("h.hdr")), envi_for(dir.file("h")));
    EXPECT_EQ(raw_32bit_create("/nonexistent-folder/h", heights, building, red), 1);
}

TEST(FloatRaster, OpenKeepsTheFileTopRowAtRowZeroAndRefusesWrongSizes)
{
    TempDir dir;
    Bytes bytes;
    for (int i = 0; i < 6; ++i) {
        float v = static_cast<float>(i) + 0.5f;
        unsigned char raw[4];
        std::memcpy(raw, &v, 4);
        bytes.insert(bytes.end(), raw, raw + 4);
    }
    write_bytes(dir.file("d.raw"), bytes);
    Grid<float> dtm;
    ASSERT_EQ(raw_32bit_open(dir.file("d.raw"), dtm, 3, 2), 0);
    EXPECT_EQ(dtm(0, 0), 0.5f);
    EXPECT_EQ(dtm(2, 1), 5.5f);
    EXPECT_EQ(raw_32bit_open(dir.file("missing.raw"), dtm, 3, 2), 1);
    EXPECT_NE(captured([&] { EXPECT_EQ(raw_32bit_open(dir.file("d.raw"), dtm, 4, 2), 1); }).find("does not match"),
              std::string::npos);
    EXPECT_NE(captured([&] { EXPECT_EQ(raw_32bit_open(dir.file("d.raw"), dtm, -3, -2), 1); }).find("negative"),
              std::string::npos);
}

TEST(MaskRaster, RoundTripWithDimFile)
{
    TempDir dir;
    QuietConsole q;
    write_bytes(dir.file("m.raw"), {0, 9, 9, 0, 0, 0, 9, 0, 9, 9, 9, 9});
    write_text(dir.file("m.dim"), "4\n3\n");
    Grid<std::uint8_t> mask;
    MaskFileState state;
    ASSERT_EQ(raw_8bit_open(dir.file("m.raw"), mask, state), 0);
    EXPECT_EQ(state.b_value, 9);
    EXPECT_EQ(mask.width(), 6);
    EXPECT_EQ(mask.height(), 5);
    EXPECT_EQ(mask(2, 1), 1);
    EXPECT_EQ(mask(1, 1), 0);
    ASSERT_EQ(raw_8bit_create(q.console, dir.file("o"), mask, state), 0);
    EXPECT_EQ(read_bytes(dir.file("o.raw")), read_bytes(dir.file("m.raw")));
    EXPECT_EQ(read_text(dir.file("o.dim")), "4\t3\n");
}

TEST(MaskRaster, ForegroundZeroIsWrittenAs255)
{
    TempDir dir;
    QuietConsole q;
    Grid<std::uint8_t> mask(4, 3, 0);
    mask(1, 1) = 1;
    MaskFileState state;
    state.b_value = 0;
    ASSERT_EQ(raw_8bit_create(q.console, dir.file("o"), mask, state), 0);
    EXPECT_EQ(read_bytes(dir.file("o.raw")), (Bytes{255, 0}));
}

TEST(MaskRaster, RefusalsWithTheirMessages)
{
    TempDir dir;
    Grid<std::uint8_t> mask;
    MaskFileState state;
    write_text(dir.file("m.dim"), "3 1");
    write_bytes(dir.file("m.raw"), {0, 0, 0});
    ASSERT_EQ(raw_8bit_open(dir.file("m.raw"), mask, state), 0);
    EXPECT_EQ(state.b_value, 0);
    EXPECT_EQ(mask, Grid<std::uint8_t>(5, 3, 0));

    auto message_for = [&](const Bytes& raw, const std::string& dim) {
        write_bytes(dir.file("m.raw"), raw);
        write_text(dir.file("m.dim"), dim);
        return captured([&] { EXPECT_EQ(raw_8bit_open(dir.file("m.raw"), mask, state), 1); });
    };
    EXPECT_EQ(message_for({0, 200, 201}, "3 1"), "\nInput file should have only two values\n");
    EXPECT_EQ(message_for({1, 1, 1}, "3 1"), "\nInput file should have black background\n");
    EXPECT_NE(message_for({0, 1}, "3 1").find("does not match"), std::string::npos);
    EXPECT_NE(message_for({0, 1, 0, 1}, "3 1").find("does not match"), std::string::npos);
    EXPECT_NE(message_for({0, 1}, "-2 -1").find("does not hold"), std::string::npos);
    EXPECT_NE(message_for({0, 1}, "two").find("does not hold"), std::string::npos);
    EXPECT_NE(message_for({0, 1}, "99999999999 1").find("does not hold"), std::string::npos);
    EXPECT_NE(message_for({0, 1}, "2 -").find("does not hold"), std::string::npos);
    EXPECT_EQ(captured([&] { EXPECT_EQ(raw_8bit_open(dir.file("x.raw"), mask, state), 1); }),
              "\nError in opening '.raw' file\n");
    write_bytes(dir.file("n.raw"), {0});
    EXPECT_EQ(captured([&] { EXPECT_EQ(raw_8bit_open(dir.file("n.raw"), mask, state), 1); }),
              "\nError in opening '.dim' file\n");

    QuietConsole q;
    Grid<std::uint8_t> small(3, 3, 0);
    EXPECT_EQ(captured([&] { EXPECT_EQ(raw_8bit_create(q.console, "/nonexistent-folder/o", small, state), 1); }),
              "\nError in writing raw image\n");
}

TEST(PlainRaster, WholeGridsAreWrittenTopRowFirst)
{
    TempDir dir;
    Grid<std::uint8_t> bytes(3, 2);
    for (int i = 0; i < 6; ++i) bytes.cells()[i] = static_cast<std::uint8_t>(10 * i);
    ASSERT_TRUE(write_raw_bytes(dir.file("g.raw"), bytes));
    EXPECT_EQ(read_bytes(dir.file("g.raw")), (Bytes{0, 10, 20, 30, 40, 50}));

    const Grid<float> floats = three_by_two();  // row 0: 1 2 3, row 1: 4 5 6
    ASSERT_TRUE(write_raw_floats(dir.file("f.raw"), floats));
    const Bytes b = read_bytes(dir.file("f.raw"));
    ASSERT_EQ(b.size(), 24u);
    EXPECT_EQ(le_float(b, 0), 1.0f);
    EXPECT_EQ(le_float(b, 20), 6.0f);
    Grid<float> back;
    ASSERT_EQ(raw_32bit_open(dir.file("f.raw"), back, 3, 2), 0);
    EXPECT_EQ(back, floats);

    EXPECT_FALSE(write_raw_bytes(dir.file("none/g.raw"), bytes));
    EXPECT_FALSE(write_raw_floats(dir.file("none/f.raw"), floats));
}

}  // namespace

// Found by fuzzing: a ".dim" of width 0 and 2147483647 rows matches an empty
// RAW. No sample, so no mask (and no bordered mask of 4 GB whose height
// overflows), and a float raster read at once.
TEST(MaskRaster, RawWithoutSamplesButManyRows)
{
    TempDir dir;
    write_bytes(dir.file("m.raw"), {});
    write_text(dir.file("m.dim"), "0\t2147483647\n");
    Grid<std::uint8_t> mask;
    MaskFileState state;
    EXPECT_EQ(captured([&] { EXPECT_EQ(raw_8bit_open(dir.file("m.raw"), mask, state), 1); }),
              "\nInput file should have black background\n");
    EXPECT_TRUE(mask.empty());

    Grid<float> dtm;
    EXPECT_EQ(raw_32bit_open(dir.file("m.raw"), dtm, 0, 2147483647), 0);
    EXPECT_EQ(dtm.width(), 0);
    EXPECT_EQ(dtm.height(), 2147483647);
    EXPECT_EQ(raw_32bit_open(dir.file("m.raw"), dtm, 2147483647, 0), 0);
    EXPECT_TRUE(dtm.empty());
}
