#include "bmp.h"

#include "bmp_builder.h"
#include "bmp_file.h"
#include "byte_order.h"
#include "slicer_bmp.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using namespace testsupport;

namespace {

Grid<std::uint8_t> index_image(int w, int h, std::uint8_t base = 0)
{
    Grid<std::uint8_t> image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image(x, y) = static_cast<std::uint8_t>(base + 10 * y + x);
    return image;
}

TEST(BmpWriters, FiveByThreeGreyImageLayout)
{
    TempDir dir;
    const auto image = index_image(5, 3);
    ASSERT_FALSE(bmp_grayscale256_create(dir.file("g.bmp"), image));
    const Bytes b = read_bytes(dir.file("g.bmp"));
    ASSERT_EQ(b.size(), 1102u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(le32(b, 2), 1102u);
    EXPECT_EQ(le32(b, 10), 1078u);
    EXPECT_EQ(le32(b, 14), 40u);
    EXPECT_EQ(le32(b, 18), 5u);
    EXPECT_EQ(le32(b, 22), 3u);
    EXPECT_EQ(le16(b, 26), 1u);
    EXPECT_EQ(le16(b, 28), 8u);
    EXPECT_EQ(le32(b, 34), 24u);
    EXPECT_EQ(le32(b, 38), 2800u);
    EXPECT_EQ(le32(b, 46), 256u);
    EXPECT_EQ(le32(b, 50), 256u);
    // Grey palette entry 7 and the bottom row first.
    EXPECT_EQ(b[54 + 28], 7);
    EXPECT_EQ(b[54 + 29], 7);
    EXPECT_EQ(b[54 + 30], 7);
    EXPECT_EQ(b[54 + 31], 0);
    EXPECT_EQ(b[1078], 20);  // (0, 2): bottom-left pixel
    EXPECT_EQ(b[1078 + 5], 255);
    EXPECT_EQ(b[1078 + 8], 10);
}

TEST(BmpWriters, RowPaddingIs255PerWidthModuloFour)
{
    TempDir dir;
    for (int w = 1; w <= 8; ++w) {
        const std::string name = dir.file("w" + std::to_string(w) + ".bmp");
        ASSERT_FALSE(bmp_grayscale256_create(name, index_image(w, 2)));
        const Bytes b = read_bytes(name);
        const int stride = (w + 3) / 4 * 4;
        ASSERT_EQ(b.size(), 1078u + 2 * stride) << w;
        for (int r = 0; r < 2; ++r)
            for (int x = w; x < stride; ++x) EXPECT_EQ(b[1078 + r * stride + x], 255) << w;
    }
}

TEST(BmpWriters, ZoneFormPutsRowZeroAtTheBottomWithTheZonePalette)
{
    TempDir dir;
    ASSERT_FALSE(bmp_256_create(dir.file("z.bmp"), index_image(3, 2, 16)));
    const Bytes b = read_bytes(dir.file("z.bmp"));
    EXPECT_EQ(b[1078], 16);      // matrix row 0 is the first file row
    EXPECT_EQ(b[1078 + 4], 26);
    auto entry = [&](int i) { return std::vector<int>{b[54 + 4 * i], b[55 + 4 * i], b[56 + 4 * i], b[57 + 4 * i]}; };
    EXPECT_EQ(entry(0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(entry(1), (std::vector<int>{64, 64, 64, 0}));
    EXPECT_EQ(entry(15), (std::vector<int>{104, 104, 104, 0}));
    EXPECT_EQ(entry(16), (std::vector<int>{255, 0, 0, 0}));
    EXPECT_EQ(entry(254), (std::vector<int>{255, 238, 238, 0}));
    EXPECT_EQ(entry(255), (std::vector<int>{255, 255, 255, 255}));
}

TEST(BmpWriters, UnwritableOutputIsReported)
{
    EXPECT_EQ(bmp_grayscale256_create("/nonexistent-folder/x.bmp", index_image(2, 2)),
              std::errc::no_such_file_or_directory);
}

TEST(ColourReader, PackedColoursAndOrientation)
{
    TempDir dir;
    Palette palette = testsupport::grey_palette();
    palette[200] = 0xFF0000;
    // 3 x 2 picture, row 0 on top: grey 0, 1, 255 / red, grey 128, grey 7.
    const Bytes file = make_bmp(3, 2, {0, 1, 255, 200, 128, 7}, palette);
    write_bytes(dir.file("c.bmp"), file);
    Grid<std::int32_t> m;
    Extent dim;
    ASSERT_FALSE(bmp_grayscale256_open(dir.file("c.bmp"), m, dim));
    EXPECT_EQ(dim.width, 3);
    EXPECT_EQ(dim.height, 2);
    EXPECT_EQ(m(0, 0), 0);
    EXPECT_EQ(m(1, 0), 65793);
    EXPECT_EQ(m(2, 0), 16777215);
    EXPECT_EQ(m(0, 1), 16711680);
    EXPECT_EQ(m(1, 1), 128 * 65793);
    EXPECT_TRUE(is_grey(m(1, 1)));
    EXPECT_FALSE(is_grey(m(0, 1)));
}

TEST(ColourReader, OtherToolsLayoutsReadAsTheSameImage)
{
    TempDir dir;
    Palette palette(16);
    for (int i = 0; i < 16; ++i) palette[i] = static_cast<std::uint32_t>(i * 0x100f03);
    const std::vector<std::uint8_t> pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    write_bytes(dir.file("plain.bmp"), make_bmp(5, 3, pixels, palette));
    Grid<std::int32_t> expected;
    Extent dim;
    ASSERT_FALSE(bmp_grayscale256_open(dir.file("plain.bmp"), expected, dim));

    BmpLayout v5;
    v5.info_header_size = 124;
    BmpLayout short_palette;
    short_palette.palette_entries = 16;
    BmpLayout top_down;
    top_down.top_down = true;
    BmpLayout gap;
    gap.extra_gap = 6;
    gap.palette_entries = 16;
    gap.padding_value = 0;
    for (const BmpLayout& layout : {v5, short_palette, top_down, gap}) {
        write_bytes(dir.file("v.bmp"), make_bmp(5, 3, pixels, palette, layout));
        Grid<std::int32_t> m;
        ASSERT_FALSE(bmp_grayscale256_open(dir.file("v.bmp"), m, dim));
        EXPECT_EQ(m, expected);
    }
}

TEST(ColourReader, RefusesBrokenFilesWithTheirMessages)
{
    TempDir dir;
    const Bytes good = make_bmp(5, 3, std::vector<std::uint8_t>(15, 1), testsupport::grey_palette());
    struct Case {
        std::string name;
        Bytes bytes;
        RasterProblem::Kind problem;
    };
    Bytes not_bm = good;
    not_bm[0] = 'X';
    Bytes bits24 = good;
    bits24[28] = 24;
    Bytes truncated(good.begin(), good.end() - 3);
    Bytes negative_width = good;
    negative_width[21] = 0xFF;
    negative_width[18] = 0xFB;
    negative_width[19] = negative_width[20] = 0xFF;
    Bytes lying_height = good;
    lying_height[22] = 200;
    Bytes huge = good;
    huge[24] = 0x7F;
    Bytes compressed = good;
    compressed[30] = 1;
    Bytes tiny(good.begin(), good.begin() + 20);
    Bytes pixels_in_header = good;
    pixels_in_header[10] = 50;
    pixels_in_header[11] = 0;
    using Kind = RasterProblem::Kind;
    const std::vector<Case> cases = {
        {"not_bm", not_bm, Kind::not_bmp},
        {"bits24", bits24, Kind::not_8bit},
        {"compressed", compressed, Kind::not_8bit},
        {"truncated", truncated, Kind::truncated},
        {"lying_height", lying_height, Kind::truncated},
        {"huge", huge, Kind::truncated},
        {"tiny", tiny, Kind::not_8bit},
        {"negative_width", negative_width, Kind::bad_layout},
        {"pixels_in_header", pixels_in_header, Kind::bad_layout},
        {"missing", {}, Kind::cannot_open},
    };
    for (const Case& c : cases) {
        if (!c.bytes.empty()) write_bytes(dir.file(c.name), c.bytes);
        Grid<std::int32_t> m;
        Extent dim;
        EXPECT_EQ(bmp_grayscale256_open(dir.file(c.name), m, dim).kind, c.problem) << c.name;
    }
    EXPECT_EQ(class_map_problem_text(Kind::truncated), "\nError: the BMP file is shorter than its header says\n");
    EXPECT_NE(class_map_problem_text(Kind::bad_layout).find("negative width"), std::string::npos);
}

TEST(ColourReader, ZeroSizedImageIsNoErrorOfItsOwn)
{
    TempDir dir;
    write_bytes(dir.file("e.bmp"), make_bmp(0, 0, {}, testsupport::grey_palette()));
    Grid<std::int32_t> m;
    Extent dim{-1, -1};
    EXPECT_FALSE(bmp_grayscale256_open(dir.file("e.bmp"), m, dim));
    EXPECT_EQ(dim.width, 0);
    EXPECT_EQ(dim.height, 0);
}

TEST(MaskReader, BackgroundIsTheFirstBlackPixelInFileOrder)
{
    TempDir dir;
    Palette palette = testsupport::grey_palette();
    palette[9] = 0;  // a second black entry
    // Picture rows top first: 9 9 0 / 0 0 9. The file stores the bottom row
    // first, so index 0 is met first and is the background; 9 is foreground.
    write_bytes(dir.file("m.bmp"), make_bmp(3, 2, {9, 9, 0, 0, 0, 9}, palette));
    Grid<std::uint8_t> mask;
    MaskFileState state;
    ASSERT_FALSE(bmp_256_open(dir.file("m.bmp"), mask, state));
    EXPECT_EQ(state.b_value, 9);
    EXPECT_EQ(mask(1, 1), 1);
    EXPECT_EQ(mask(3, 1), 0);
    EXPECT_EQ(mask(3, 2), 1);
}

TEST(MaskReader, TwoValuedMasksAndRefusals)
{
    TempDir dir;
    const Palette palette = testsupport::grey_palette();
    write_bytes(dir.file("m.bmp"), make_bmp(3, 2, {0, 200, 0, 200, 200, 0}, palette));
    Grid<std::uint8_t> mask;
    MaskFileState state;
    ASSERT_FALSE(bmp_256_open(dir.file("m.bmp"), mask, state));
    EXPECT_EQ(state.b_value, 200);
    EXPECT_EQ(mask(1, 1), 0);  // top-left pixel at cell (1, 1)
    EXPECT_EQ(mask(2, 1), 1);
    EXPECT_EQ(mask(1, 2), 1);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(mask(x, 0) + mask(x, 3), 0);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(mask(0, y) + mask(4, y), 0);

    write_bytes(dir.file("black.bmp"), make_bmp(2, 2, {0, 0, 0, 0}, palette));
    ASSERT_FALSE(bmp_256_open(dir.file("black.bmp"), mask, state));
    EXPECT_EQ(state.b_value, 0);
    EXPECT_EQ(mask, Grid<std::uint8_t>(4, 4, 0));

    write_bytes(dir.file("three.bmp"), make_bmp(3, 1, {0, 255, 128}, palette));
    EXPECT_EQ(bmp_256_open(dir.file("three.bmp"), mask, state), RasterProblem::Kind::more_than_two_values);
    write_bytes(dir.file("white.bmp"), make_bmp(2, 1, {255, 255}, palette));
    EXPECT_EQ(bmp_256_open(dir.file("white.bmp"), mask, state), RasterProblem::Kind::no_black_background);
    Bytes bits24 = make_bmp(2, 1, {0, 1}, palette);
    bits24[28] = 24;
    write_bytes(dir.file("b24.bmp"), bits24);
    EXPECT_EQ(bmp_256_open(dir.file("b24.bmp"), mask, state), RasterProblem::Kind::not_8bit);
    EXPECT_EQ(bmp_256_open(dir.file("none.bmp"), mask, state), RasterProblem::Kind::cannot_open);
}

TEST(MaskWriter, RoundTripKeepsPaletteAndForegroundIndex)
{
    TempDir dir;
    Palette palette = testsupport::grey_palette();
    palette[3] = 0x102030;
    palette[40] = 0;   // black entries 0 and 40: the lowest is the background
    palette[0] = 0x000000;
    const std::vector<std::uint8_t> pixels = {40, 3, 40, 3, 3, 40, 40, 40};
    write_bytes(dir.file("in.bmp"), make_bmp(4, 2, pixels, palette));
    Grid<std::uint8_t> mask;
    MaskFileState state;
    ASSERT_FALSE(bmp_256_open(dir.file("in.bmp"), mask, state));
    EXPECT_EQ(state.b_value, 3);
    ASSERT_FALSE(bmp_256_create(dir.file("out.bmp"), mask, state, true));
    const Bytes in = read_bytes(dir.file("in.bmp"));
    const Bytes out = read_bytes(dir.file("out.bmp"));
    ASSERT_EQ(out.size(), in.size());
    EXPECT_TRUE(std::equal(in.begin() + 54, in.begin() + 1078, out.begin() + 54));
    EXPECT_EQ(bmp_pixels(out), (std::vector<std::uint8_t>{0, 3, 0, 3, 3, 0, 0, 0}));

    // Grey palette when asked not to keep it.
    ASSERT_FALSE(bmp_256_create(dir.file("grey.bmp"), mask, state, false));
    const Bytes grey = read_bytes(dir.file("grey.bmp"));
    EXPECT_EQ(grey[54 + 4 * 3], 3);
    EXPECT_EQ(grey[54 + 4 * 3 + 1], 3);
}

}  // namespace

namespace {

TEST(MaskWriter, ForegroundWithTheBackgroundIndexStaysVisible)
{
    TempDir dir;
    Grid<std::uint8_t> mask(4, 3, 0);
    mask(1, 1) = 1;
    MaskFileState state;
    state.b_value = 0;  // an input that had no foreground
    ASSERT_FALSE(bmp_256_create(dir.file("grey.bmp"), mask, state, false));
    EXPECT_EQ(bmp_pixels(read_bytes(dir.file("grey.bmp"))), (std::vector<std::uint8_t>{255, 0}));

    state.palette.fill(0);
    state.palette[4 * 7 + 2] = 200;  // the only colour that is not black
    state.b_value = 0;
    ASSERT_FALSE(bmp_256_create(dir.file("own.bmp"), mask, state, true));
    EXPECT_EQ(bmp_pixels(read_bytes(dir.file("own.bmp"))), (std::vector<std::uint8_t>{7, 0}));
}

}  // namespace

// Headers found by fuzzing the readers: images whose one extent is 0 while
// the other is at the int limit. They hold no pixel, so they read as empty
// images (or are refused where an empty image is no mask), at once and
// without a buffer of the large extent.
namespace {

constexpr std::uint32_t int_limit = 2147483647;
constexpr std::uint32_t huge_width = 2080374791;  // the fuzzer's: a 2 GB row

// A BMP in the suite's layout without pixel rows, whose header then gives
// the extent width x height.
Bytes empty_bmp_saying(std::uint32_t width, std::uint32_t height)
{
    Bytes bytes = make_bmp(0, 0, {}, testsupport::grey_palette());
    byte_order::put_le32(bytes.data() + 18, width);
    byte_order::put_le32(bytes.data() + 22, height);
    return bytes;
}

}  // namespace

TEST(ColourReader, ImageWithoutPixelsReadsAtOnceWhateverItsOtherExtent)
{
    TempDir dir;
    for (auto [w, h] : {std::pair{0u, int_limit}, {huge_width, 0u}}) {
        write_bytes(dir.file("e.bmp"), empty_bmp_saying(w, h));
        Grid<std::int32_t> m;
        Extent dim{-1, -1};
        ASSERT_FALSE(bmp_grayscale256_open(dir.file("e.bmp"), m, dim));
        EXPECT_EQ(dim.width, static_cast<int>(w));
        EXPECT_EQ(dim.height, static_cast<int>(h));
        EXPECT_TRUE(m.empty());

        // An image without pixels has no black one: no mask.
        Grid<std::uint8_t> mask;
        MaskFileState state;
        EXPECT_EQ(bmp_256_open(dir.file("e.bmp"), mask, state), RasterProblem::Kind::no_black_background);
        EXPECT_TRUE(mask.empty());

        // The threshold slicer's own reading.
        File file = open_file(dir.file("e.bmp"), "rb");
        BmpHead head;
        ASSERT_TRUE(read_bmp_head(file.get(), head));
        Grid<std::uint8_t> pixels;
        EXPECT_EQ(read_pixel_rows(file.get(), head, pixels), PixelRowsProblem::none);
        EXPECT_TRUE(pixels.empty());
    }
}

TEST(BmpWriters, ImageWithoutPixelsIsItsHeaderAndPalette)
{
    TempDir dir;
    for (auto [w, h] : {std::pair{0, static_cast<int>(int_limit)}, {static_cast<int>(huge_width), 0}}) {
        ASSERT_FALSE(bmp_grayscale256_create(dir.file("e.bmp"), Grid<std::uint8_t>(w, h)));
        const Bytes b = read_bytes(dir.file("e.bmp"));
        ASSERT_EQ(b.size(), 1078u);
        EXPECT_EQ(le32(b, 18), static_cast<std::uint32_t>(w));
        EXPECT_EQ(le32(b, 22), static_cast<std::uint32_t>(h));
    }
}
