// Headers found by fuzzing the readers: images whose one extent is 0 while
// the other is at the int limit. They hold no pixel, so they read as empty
// images (or are refused where an empty image is no mask), at once and
// without a buffer of the large extent.

#include "bmp.h"
#include "bmp_builder.h"
#include "bmp_file.h"
#include "byte_order.h"
#include "raw.h"
#include "slicer_bmp.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

using namespace testsupport;

namespace {

struct QuietConsole {
    std::FILE* in = std::tmpfile();
    Console console{in};
    ~QuietConsole() { std::fclose(in); }
};

std::string captured(const std::function<void()>& action)
{
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

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

TEST(HostileInput, BmpWithoutPixelsReadsAsAnEmptyImage)
{
    TempDir dir;
    QuietConsole q;
    for (auto [w, h] : {std::pair{0u, int_limit}, {huge_width, 0u}}) {
        write_bytes(dir.file("e.bmp"), empty_bmp_saying(w, h));
        Grid<std::int32_t> m;
        int dim[2] = {-1, -1};
        ASSERT_EQ(bmp_grayscale256_open(q.console, dir.file("e.bmp"), m, dim, ColourReaderCaller::talvern), 0);
        EXPECT_EQ(dim[0], static_cast<int>(w));
        EXPECT_EQ(dim[1], static_cast<int>(h));
        EXPECT_TRUE(m.empty());

        // An image without pixels has no black one: no mask.
        Grid<std::uint8_t> mask;
        MaskFileState state;
        EXPECT_EQ(captured([&] { EXPECT_EQ(bmp_256_open(dir.file("e.bmp"), mask, state), 1); }),
                  "\nInput file should have black background\n");
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

TEST(HostileInput, BmpWithoutPixelsIsWrittenAsItsHeaderAndPalette)
{
    TempDir dir;
    QuietConsole q;
    for (auto [w, h] : {std::pair{0, static_cast<int>(int_limit)}, {static_cast<int>(huge_width), 0}}) {
        ASSERT_EQ(bmp_grayscale256_create(q.console, dir.file("e.bmp"), Grid<std::uint8_t>(w, h)), 0);
        const Bytes b = read_bytes(dir.file("e.bmp"));
        ASSERT_EQ(b.size(), 1078u);
        EXPECT_EQ(le32(b, 18), static_cast<std::uint32_t>(w));
        EXPECT_EQ(le32(b, 22), static_cast<std::uint32_t>(h));
    }
}

TEST(HostileInput, RawWithoutSamples)
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
