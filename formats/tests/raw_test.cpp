#include "raw.h"

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
    const std::string name = dir.file("out.raw");
    EXPECT_EQ(envi_header_name(name), dir.file("out.hdr"));
    EXPECT_EQ(zone_raster_base(name), dir.file("out"));
    ASSERT_FALSE(raw_32bit_create({name, envi_header_name(name)}, zone_raster_base(name), three_by_two()));
    const Bytes b = read_bytes(dir.file("out.raw"));
    ASSERT_EQ(b.size(), 24u);
    EXPECT_EQ(le_float(b, 0), 4.0f);
    EXPECT_EQ(le_float(b, 8), 6.0f);
    EXPECT_EQ(le_float(b, 12), 1.0f);
    EXPECT_EQ(read_text(dir.file("out.hdr")), envi_for(dir.file("out")));
}

// A byte raster's header, and the lines a placed raster adds after the
// eleven: the same eleven lines, the data type aside.
TEST(EnviHeader, DataTypeAndAddedLines)
{
    TempDir dir;
    const std::string map_info = "map info = {Arbitrary, 1, 1, 0, 0, 1, 1}";
    ASSERT_FALSE(write_envi_header(dir.file("m.hdr"), envi_description_of("m{x}"), 3, 2, {1, {map_info}}));
    std::string expected = envi_for("m_x_");
    expected.replace(expected.find("data type = 4"), 13, "data type = 1");
    EXPECT_EQ(read_text(dir.file("m.hdr")), expected + map_info + "\n");
}

TEST(FloatRaster, DescriptionsThatWouldBreakTheHeader)
{
    EXPECT_TRUE(envi_description_usable("My Data\\roof temperature (2024)"));
    const std::vector<std::string> bad_names = {"out}", "o{ut", "two\nlines", "tab\there", std::string("nul\0", 4),
                                                "del\x7f"};
    for (const std::string& bad : bad_names)
        EXPECT_FALSE(envi_description_usable(bad)) << bad;
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
    ASSERT_FALSE(raw_32bit_create({dir.file("h.raw"), dir.file("h.hdr")}, dir.file("h"), heights, building, red));
    const Bytes b = read_bytes(dir.file("h.raw"));
    ASSERT_EQ(b.size(), 24u);
    EXPECT_EQ(le_float(b, 0), 4.0f);
    EXPECT_EQ(le_float(b, 12), -2.0f);
    EXPECT_EQ(le_float(b, 16), 0.0f);
    EXPECT_EQ(le_float(b, 20), 3.0f);
    EXPECT_EQ(read_text(dir.file("h.hdr")), envi_for(dir.file("h")));
    const auto problem = raw_32bit_create({dir.file("h2.raw"), "/nonexistent-folder/h.hdr"}, "h", heights, building, red);
    ASSERT_TRUE(problem);
    EXPECT_TRUE(problem->in_header);
    EXPECT_EQ(problem->error, std::errc::no_such_file_or_directory);
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
    ASSERT_FALSE(raw_32bit_open(dir.file("d.raw"), dtm, 3, 2));
    EXPECT_EQ(dtm(0, 0), 0.5f);
    EXPECT_EQ(dtm(2, 1), 5.5f);
    using Kind = RasterProblem::Kind;
    EXPECT_EQ(raw_32bit_open(dir.file("missing.raw"), dtm, 3, 2), Kind::cannot_open);
    const RasterProblem wrong = raw_32bit_open(dir.file("d.raw"), dtm, 4, 2);
    EXPECT_EQ(wrong, Kind::size_mismatch);
    EXPECT_EQ(wrong.path, dir.file("d.raw"));
    EXPECT_EQ(wrong.width, 4);
    EXPECT_EQ(raw_32bit_open(dir.file("d.raw"), dtm, -3, -2), Kind::negative_size);
}

TEST(MaskRaster, RoundTripWithDimFile)
{
    TempDir dir;
    write_bytes(dir.file("m.raw"), {0, 9, 9, 0, 0, 0, 9, 0, 9, 9, 9, 9});
    write_text(dir.file("m.dim"), "4\n3\n");
    Grid<std::uint8_t> mask;
    MaskFileState state;
    ASSERT_FALSE(raw_8bit_open(dir.file("m.raw"), mask, state));
    EXPECT_EQ(state.b_value, 9);
    EXPECT_EQ(mask.width(), 6);
    EXPECT_EQ(mask.height(), 5);
    EXPECT_EQ(mask(2, 1), 1);
    EXPECT_EQ(mask(1, 1), 0);
    ASSERT_FALSE(raw_8bit_create({dir.file("o.raw"), dir.file("o.dim")}, mask, state));
    EXPECT_EQ(read_bytes(dir.file("o.raw")), read_bytes(dir.file("m.raw")));
    EXPECT_EQ(read_text(dir.file("o.dim")), "4\t3\n");
}

TEST(MaskRaster, ForegroundZeroIsWrittenAs255)
{
    TempDir dir;
    Grid<std::uint8_t> mask(4, 3, 0);
    mask(1, 1) = 1;
    MaskFileState state;
    state.b_value = 0;
    ASSERT_FALSE(raw_8bit_create({dir.file("o.raw"), dir.file("o.dim")}, mask, state));
    EXPECT_EQ(read_bytes(dir.file("o.raw")), (Bytes{255, 0}));
}

TEST(MaskRaster, RefusalsWithTheirMessages)
{
    TempDir dir;
    Grid<std::uint8_t> mask;
    MaskFileState state;
    write_text(dir.file("m.dim"), "3 1");
    write_bytes(dir.file("m.raw"), {0, 0, 0});
    ASSERT_FALSE(raw_8bit_open(dir.file("m.raw"), mask, state));
    EXPECT_EQ(state.b_value, 0);
    EXPECT_EQ(mask, Grid<std::uint8_t>(5, 3, 0));

    using Kind = RasterProblem::Kind;
    auto problem_for = [&](const Bytes& raw, const std::string& dim) {
        write_bytes(dir.file("m.raw"), raw);
        write_text(dir.file("m.dim"), dim);
        return raw_8bit_open(dir.file("m.raw"), mask, state).kind;
    };
    EXPECT_EQ(problem_for({0, 200, 201}, "3 1"), Kind::more_than_two_values);
    EXPECT_EQ(problem_for({1, 1, 1}, "3 1"), Kind::no_black_background);
    EXPECT_EQ(problem_for({0, 1}, "3 1"), Kind::size_mismatch);
    EXPECT_EQ(problem_for({0, 1, 0, 1}, "3 1"), Kind::size_mismatch);
    // Read as "%d%d": the character that ends the width starts the height.
    for (const char* dim : {"-2 -1", "two", "99999999999 1", "2 -", "2x1", "2-1"})
        EXPECT_EQ(problem_for({0, 1}, dim), Kind::dim_invalid) << dim;
    EXPECT_EQ(layout_problem_text({Kind::dim_invalid, "m.dim"}),
              "\nError: 'm.dim' does not hold a width and a height of zero or more\n");
    EXPECT_EQ(raw_8bit_open(dir.file("x.raw"), mask, state), Kind::cannot_open);
    write_bytes(dir.file("n.raw"), {0});
    EXPECT_EQ(raw_8bit_open(dir.file("n.raw"), mask, state), Kind::dim_cannot_open);
    EXPECT_EQ(layout_problem_text(Kind::dim_cannot_open), "\nError in opening '.dim' file\n");

    Grid<std::uint8_t> small(3, 3, 0);
    const auto problem = raw_8bit_create({"/nonexistent-folder/o.raw", dir.file("o.dim")}, small, state);
    ASSERT_TRUE(problem);
    EXPECT_FALSE(problem->in_header);
}

TEST(PlainRaster, WholeGridsAreWrittenTopRowFirst)
{
    TempDir dir;
    Grid<std::uint8_t> bytes(3, 2);
    for (int i = 0; i < 6; ++i) bytes.cells()[i] = static_cast<std::uint8_t>(10 * i);
    ASSERT_FALSE(write_raw_bytes(dir.file("g.raw"), bytes));
    EXPECT_EQ(read_bytes(dir.file("g.raw")), (Bytes{0, 10, 20, 30, 40, 50}));

    const Grid<float> floats = three_by_two();  // row 0: 1 2 3, row 1: 4 5 6
    ASSERT_FALSE(write_raw_floats(dir.file("f.raw"), floats));
    const Bytes b = read_bytes(dir.file("f.raw"));
    ASSERT_EQ(b.size(), 24u);
    EXPECT_EQ(le_float(b, 0), 1.0f);
    EXPECT_EQ(le_float(b, 20), 6.0f);
    Grid<float> back;
    ASSERT_FALSE(raw_32bit_open(dir.file("f.raw"), back, 3, 2));
    EXPECT_EQ(back, floats);

    EXPECT_TRUE(write_raw_bytes(dir.file("none/g.raw"), bytes));
    EXPECT_TRUE(write_raw_floats(dir.file("none/f.raw"), floats));
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
    EXPECT_EQ(raw_8bit_open(dir.file("m.raw"), mask, state), RasterProblem::Kind::no_black_background);
    EXPECT_TRUE(mask.empty());

    Grid<float> dtm;
    EXPECT_FALSE(raw_32bit_open(dir.file("m.raw"), dtm, 0, 2147483647));
    EXPECT_EQ(dtm.width(), 0);
    EXPECT_EQ(dtm.height(), 2147483647);
    EXPECT_FALSE(raw_32bit_open(dir.file("m.raw"), dtm, 2147483647, 0));
    EXPECT_TRUE(dtm.empty());
}
