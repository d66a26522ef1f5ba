// The murgel program end to end: masks written to a temporary folder, the
// real binary run on them, and the bytes of what it writes and prints.

#include "bmp_builder.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

using Rows = std::vector<std::string>;

const std::string banner =
    "\n              * * *  Murgel  * * *\n\n"
    "\n                   * * * WARNING * * *\n"
    "\n     This routine works only with Bmp or Raw files 8 bit\n\n"
    "       Raw files should have 'dim' header with image dimension\n\n"
    "  \n\n"
    "    -------------------------------------------------\n\n";
const std::string prompts = "\nInput file=\nResult type (raw/bmp)=\n\nBlob threshold: ";
const std::string end_line = "\n\nEnd";
const std::string input_type_warning = "\nWarning: input file must be 'raw' or 'bmp'\n";
const std::string result_type_warning = "\nWarning: result type must be 'raw' or 'bmp'\n";

// A building with a one-pixel hole, a one-pixel notch in its top edge and a
// speck at its corner, and what the clean-up makes of it at thresholds 2
// and 0.
const Rows building{
    "............",
    ".####.#####.",
    ".##########.",
    ".##########.",
    ".#######.##.",
    ".##########.",
    "...........#",
};
const Rows building_at_two{
    "............",
    ".##########.",
    ".##########.",
    ".##########.",
    ".##########.",
    ".##########.",
    "............",
};
// At 0 nothing is removed, filled or closed; the speck touches the building
// only at a corner and goes as a diagonal bridge at any threshold.
const Rows building_at_zero{
    "............",
    ".####.#####.",
    ".##########.",
    ".##########.",
    ".#######.##.",
    ".##########.",
    "............",
};

int width_of(const Rows& rows) { return static_cast<int>(rows[0].size()); }
int height_of(const Rows& rows) { return static_cast<int>(rows.size()); }

std::vector<std::uint8_t> pixels_of(const Rows& rows, std::uint8_t foreground, std::uint8_t background)
{
    std::vector<std::uint8_t> pixels;
    for (const auto& row : rows)
        for (char c : row) pixels.push_back(c == '#' ? foreground : background);
    return pixels;
}

Bytes bytes_of(const Rows& rows, std::uint8_t foreground, std::uint8_t background)
{
    const auto pixels = pixels_of(rows, foreground, background);
    return Bytes(pixels.begin(), pixels.end());
}

// Index 0 white, 2 and 5 black, 9 red: background pixels are stored as the
// second black, so the writer's choice of the lowest black shows.
Palette class_palette()
{
    Palette palette(256, 0x808080);
    palette[0] = 0xFFFFFF;
    palette[2] = 0x000000;
    palette[5] = 0x000000;
    palette[9] = 0xFF0000;
    return palette;
}

Bytes palette_bytes(const Palette& palette)
{
    Bytes bytes;
    for (std::uint32_t colour : palette) {
        bytes.push_back(colour & 0xFF);
        bytes.push_back((colour >> 8) & 0xFF);
        bytes.push_back((colour >> 16) & 0xFF);
        bytes.push_back(0);
    }
    return bytes;
}

Bytes palette_of(const Bytes& bmp) { return Bytes(bmp.begin() + 54, bmp.begin() + 1078); }

void write_mask_bmp(const std::string& path, const Rows& rows)
{
    write_bytes(path, make_bmp(width_of(rows), height_of(rows), pixels_of(rows, 9, 5), class_palette()));
}

void write_mask_raw(const std::string& folder, const std::string& base, const Rows& rows, std::uint8_t value)
{
    write_bytes(folder + "/" + base + ".raw", bytes_of(rows, value, 0));
    write_text(folder + "/" + base + ".dim",
               std::to_string(width_of(rows)) + "\n" + std::to_string(height_of(rows)) + "\n");
}

// The building written back as a BMP, with this palette and these indices.
void expect_bmp(const std::string& path, const Palette& palette, const std::vector<std::uint8_t>& pixels)
{
    const Bytes out = read_bytes(path);
    ASSERT_EQ(out.size(), 1078u + 12u * 7u) << path;
    EXPECT_EQ(palette_of(out), palette_bytes(palette)) << path;
    EXPECT_EQ(bmp_pixels(out), pixels) << path;
}

// The building written back as "<base>.raw" and "<base>.dim".
void expect_raw(const std::string& base, const Bytes& samples)
{
    EXPECT_EQ(read_bytes(base + ".raw"), samples) << base;
    EXPECT_EQ(read_text(base + ".dim"), "12\t7\n") << base;
}

}  // namespace

TEST(Murgel, BmpToBmpKeepsThePaletteAndTheForegroundIndex)
{
    TempDir dir;
    write_mask_bmp(dir.file("mask.bmp"), building);
    const auto run = run_program("murgel", {"mask.bmp", "bmp", "2"}, dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, banner + end_line);

    // Foreground keeps index 9; the background takes the lowest black, 2.
    expect_bmp(dir.file("mask_out.bmp"), class_palette(), pixels_of(building_at_two, 9, 2));
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"mask.bmp", "mask_out.bmp"}));
}

TEST(Murgel, BmpToRawWritesRawAndDim)
{
    TempDir dir;
    write_mask_bmp(dir.file("mask.bmp"), building);
    const auto run = run_program("murgel", {"mask.bmp", "raw", "2"}, dir.path());
    EXPECT_EQ(run.status, 0);
    expect_raw(dir.file("mask_out"), bytes_of(building_at_two, 9, 0));
}

TEST(Murgel, RawToBmpWritesTheGreyPalette)
{
    TempDir dir;
    write_mask_raw(dir.path(), "mask", building, 200);
    const auto run = run_program("murgel", {"mask.raw", "bmp", "0"}, dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, banner + end_line);
    expect_bmp(dir.file("mask_out.bmp"), grey_palette(), pixels_of(building_at_zero, 200, 0));
}

TEST(Murgel, RawToRawKeepsTheSampleValue)
{
    TempDir dir;
    write_mask_raw(dir.path(), "mask", building, 1);
    ASSERT_EQ(run_program("murgel", {"mask.raw", "raw", "2"}, dir.path()).status, 0);
    expect_raw(dir.file("mask_out"), bytes_of(building_at_two, 1, 0));
}

TEST(Murgel, ForegroundIndexZeroIsWrittenToRawAs255)
{
    // Palette entry 0 is white and marks the buildings; 1 is the black
    // background. A RAW foreground of 0 would lose every building.
    TempDir dir;
    Palette palette(256, 0xFFFFFF);
    palette[1] = 0x000000;
    write_bytes(dir.file("mask.bmp"), make_bmp(12, 7, pixels_of(building, 0, 1), palette));
    ASSERT_EQ(run_program("murgel", {"mask.bmp", "raw", "2"}, dir.path()).status, 0);
    expect_raw(dir.file("mask_out"), bytes_of(building_at_two, 255, 0));

    // Kept as a BMP, index 0 stays the (white) foreground.
    ASSERT_EQ(run_program("murgel", {"mask.bmp", "bmp", "2"}, dir.path()).status, 0);
    expect_bmp(dir.file("mask_out.bmp"), palette, pixels_of(building_at_two, 0, 1));
}

TEST(Murgel, NegativeThresholdActsAsZero)
{
    TempDir dir;
    write_mask_bmp(dir.file("mask.bmp"), building);
    ASSERT_EQ(run_program("murgel", {"mask.bmp", "bmp", "-7"}, dir.path()).status, 0);
    expect_bmp(dir.file("mask_out.bmp"), class_palette(), pixels_of(building_at_zero, 9, 2));
}

// A threshold that is not wholly a number is refused before the mask is
// read; at the prompt the question is asked again.
TEST(Murgel, ThresholdMustBeAWholeNumber)
{
    TempDir dir;
    write_mask_bmp(dir.file("mask.bmp"), building);
    for (const std::string threshold : {"many", "2x", "2.5", ""}) {
        const auto run = run_program("murgel", {"mask.bmp", "raw", threshold}, dir.path());
        EXPECT_EQ(run.status, 1) << threshold;
        EXPECT_EQ(run.out, banner + "\nError: '" + threshold + "' is not a whole number (blob threshold)\n");
    }
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"mask.bmp"}));

    const auto run = run_program("murgel", {}, dir.path(), "mask.bmp\nraw\nmany\n2\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, banner + "\nInput file=\nResult type (raw/bmp)=\n\nBlob threshold: "
                                "\n'many' is not a whole number\n\n\nBlob threshold: " + end_line);
    expect_raw(dir.file("mask_out"), bytes_of(building_at_two, 9, 0));
}

TEST(Murgel, PromptsForItsInputsAndWaitsAtTheEnd)
{
    TempDir dir;
    write_mask_bmp(dir.file("mask.bmp"), building);
    const auto run = run_program("murgel", {}, dir.path(), "mask.bmp\nraw\n2 and the rest of the line\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, banner + prompts + end_line);
    expect_raw(dir.file("mask_out"), bytes_of(building_at_two, 9, 0));

    // Input ending before the last answer stops the run.
    const auto ended = run_program("murgel", {}, dir.path(), "mask.bmp\nbmp\n");
    EXPECT_EQ(ended.status, 2);
    EXPECT_EQ(ended.out.find(end_line), std::string::npos);
    EXPECT_FALSE(file_exists(dir.file("mask_out.bmp")));
}

TEST(Murgel, WorkingFolderWithBlanks)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("aerial survey"));
    write_mask_bmp(dir.file("aerial survey/mask.bmp"), building);
    const auto run = run_program("murgel", {"mask.bmp", "bmp", "2", "aerial", "survey"}, dir.path());
    EXPECT_EQ(run.status, 0);
    expect_bmp(dir.file("aerial survey/mask_out.bmp"), class_palette(), pixels_of(building_at_two, 9, 2));

    write_mask_raw(dir.file("aerial survey"), "plan", building, 77);
    ASSERT_EQ(run_program("murgel", {"plan.raw", "raw", "2", "aerial survey"}, dir.path()).status, 0);
    expect_raw(dir.file("aerial survey/plan_out"), bytes_of(building_at_two, 77, 0));
}

// A name that ends neither in "raw" nor in "bmp" is a raster for GDAL: a BMP
// so named is read as the BMP reader reads it (its palette, black the
// background) and gives the same output; a file GDAL does not open has the
// input type's warning. Without GDAL every such name is refused.
TEST(Murgel, InputTypeIsTheNameAsTyped)
{
    TempDir dir;
    write_mask_bmp(dir.file("mask.bmp"), building);
    write_mask_bmp(dir.file("MASK.BMP"), building);
    write_mask_bmp(dir.file("bmp"), building);
    write_mask_bmp(dir.file("plan.tif"), building);
    ASSERT_EQ(run_program("murgel", {"mask.bmp", "bmp", "2"}, dir.path()).status, 0);
    const auto missing = run_program("murgel", {"a", "bmp", "2"}, dir.path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out.rfind(banner + input_type_warning, 0), 0u) << missing.out;
    EXPECT_EQ(missing.out.substr(missing.out.size() - end_line.size()), end_line);
    for (const std::string name : {"MASK.BMP", "bmp", "plan.tif"}) {
        const auto run = run_program("murgel", {name, "bmp", "2"}, dir.path());
        if (!SUITE_HAVE_GDAL) {
            EXPECT_EQ(run.status, 1) << name;
            EXPECT_EQ(run.out, banner + input_type_warning + end_line) << name;
        } else {
            EXPECT_EQ(run.status, 0) << name << run.out;
        }
    }
    if (SUITE_HAVE_GDAL) {
        const Bytes expected = read_bytes(dir.file("mask_out.bmp"));
        for (const char* output : {"MASK_out.bmp", "bmp_out.bmp", "plan_out.bmp"})
            EXPECT_EQ(read_bytes(dir.file(output)), expected) << output;
    }
}

TEST(Murgel, ResultTypeMustBeRawOrBmp)
{
    TempDir dir;
    write_mask_bmp(dir.file("mask.bmp"), building);
    for (const std::string type : {"BMP", "tif", "raw "}) {
        const auto run = run_program("murgel", {"mask.bmp", type, "2"}, dir.path());
        EXPECT_EQ(run.status, 1) << type;
        EXPECT_EQ(run.out, banner + result_type_warning + end_line) << type;
    }
    // Prompted, the final wait follows the warning.
    const auto run = run_program("murgel", {}, dir.path(), "mask.bmp\ntiff\n3\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, banner + prompts + result_type_warning + end_line);
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"mask.bmp"}));
}

namespace {

// Runs murgel on a bad input: status -1, the reader's message, no closing
// line and nothing written.
void expect_refused(const TempDir& dir, const std::string& name, const std::string& message)
{
    const auto before = list_files(dir.path());
    const auto run = run_program("murgel", {name, "raw", "2"}, dir.path());
    EXPECT_EQ(run.status, 255) << name;
    EXPECT_EQ(run.out.substr(0, banner.size()), banner) << name;
    EXPECT_NE(run.out.find(message, banner.size()), std::string::npos) << name << ": " << run.out;
    EXPECT_EQ(run.out.find(end_line), std::string::npos) << name;
    EXPECT_EQ(list_files(dir.path()), before) << name;
}

}  // namespace

TEST(Murgel, BadBmpInputsAreRefused)
{
    TempDir dir;
    expect_refused(dir, "missing.bmp", "\nError in opening 'bmp' file\n");

    write_bytes(dir.file("bytes.bmp"), Bytes(2000, 'x'));
    expect_refused(dir, "bytes.bmp", "\nError: Not a 8 bit Bitmap image\n");

    Bytes colour = make_bmp(12, 7, pixels_of(building, 9, 5), class_palette());
    colour[28] = 24;
    write_bytes(dir.file("colour.bmp"), colour);
    expect_refused(dir, "colour.bmp", "\nError: Not a 8 bit Bitmap image\n");

    write_bytes(dir.file("white.bmp"), make_bmp(12, 7, pixels_of(building, 9, 0), class_palette()));
    expect_refused(dir, "white.bmp", "\nInput file should have black background\n");

    std::vector<std::uint8_t> three = pixels_of(building, 9, 5);
    three[3] = 0;
    write_bytes(dir.file("three.bmp"), make_bmp(12, 7, three, class_palette()));
    expect_refused(dir, "three.bmp", "\nInput file should have only two values\n");

    Bytes whole = make_bmp(12, 7, pixels_of(building, 9, 5), class_palette());
    write_bytes(dir.file("short.bmp"), Bytes(whole.begin(), whole.end() - 13));
    expect_refused(dir, "short.bmp", "\n");
}

TEST(Murgel, BadRawInputsAreRefused)
{
    TempDir dir;
    expect_refused(dir, "missing.raw", "\nError in opening '.raw' file\n");

    write_bytes(dir.file("nodim.raw"), bytes_of(building, 1, 0));
    expect_refused(dir, "nodim.raw", "\nError in opening '.dim' file\n");

    write_mask_raw(dir.path(), "full", Rows{"##", "##"}, 1);
    expect_refused(dir, "full.raw", "\nInput file should have black background\n");

    write_bytes(dir.file("three.raw"), Bytes{0, 200, 201, 0});
    write_text(dir.file("three.dim"), "2\t2\n");
    expect_refused(dir, "three.raw", "\nInput file should have only two values\n");

    write_bytes(dir.file("empty.raw"), Bytes{});
    write_text(dir.file("empty.dim"), "0 0");
    expect_refused(dir, "empty.raw", "\nInput file should have black background\n");

    write_bytes(dir.file("short.raw"), Bytes(59, 0));
    write_text(dir.file("short.dim"), "12\t7\n");
    expect_refused(dir, "short.raw", "\n");
}

TEST(Murgel, UnwritableOutputIsAFailure)
{
    TempDir dir;
    write_mask_bmp(dir.file("mask.bmp"), building);
    std::filesystem::create_directory(dir.file("mask_out.bmp"));
    const auto run = run_program("murgel", {"mask.bmp", "bmp", "2"}, dir.path());
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.out, banner + "\nError in writing procedure\ncannot write 'mask_out.bmp': Is a directory\n");

    std::filesystem::create_directory(dir.file("mask_out.dim"));
    const auto raw = run_program("murgel", {"mask.bmp", "raw", "2"}, dir.path());
    EXPECT_EQ(raw.status, 255);
    EXPECT_EQ(raw.out, banner + "\nError in writing procedure\ncannot write 'mask_out.dim': Is a directory\n");
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"mask.bmp", "mask_out.bmp", "mask_out.dim"}));

    // A write that fails half-way: the writer's reason follows the message.
    TempDir full;
    write_mask_bmp(full.file("mask.bmp"), building);
    const auto cut = run_program_with_file_limit("murgel", {"mask.bmp", "bmp", "2"}, full.path(), 1);
    EXPECT_EQ(cut.status, 255);
    EXPECT_EQ(cut.out, banner + "\nError in writing procedure\ncannot write 'mask_out.bmp': File too large\n");
    EXPECT_EQ(list_files(full.path()), (std::vector<std::string>{"mask.bmp"}));
}

// Nothing lost: the cleaned mask appears whole (RAW with its ".dim") when the
// run completes, or not at all; never over an input.
TEST(Murgel, WritesItsOutputWholeOrNone)
{
    Rows big;
    for (int y = 0; y < 40; ++y) {
        std::string row;
        for (int x = 0; x < 70; ++x) row += (x / 9 + y / 7) % 3 == 0 && x % 9 && y % 7 ? '#' : '.';
        big.push_back(row);
    }
    TempDir dir;
    write_mask_raw(dir.path(), "roofs", big, 255);
    write_text(dir.file("roofs_out.dim"), "an earlier run");
    EXPECT_GT(expect_whole_outputs_or_none("murgel", {"roofs.raw", "raw", "4"}, dir.path()), 3);
    write_mask_bmp(dir.file("plan.bmp"), big);
    EXPECT_GT(expect_whole_outputs_or_none("murgel", {"plan.bmp", "bmp", "4"}, dir.path()), 3);
}

TEST(Murgel, NeverWritesOverItsInputs)
{
    TempDir dir;
    write_mask_raw(dir.path(), "mask", building, 1);
    write_mask_bmp(dir.file("plan.bmp"), building);
    // Output names that lead to the inputs.
    std::filesystem::create_symlink("mask.dim", dir.file("mask_out.dim"));
    std::filesystem::create_symlink("plan.bmp", dir.file("plan_out.bmp"));
    const auto before = folder_contents(dir.path());

    const auto raw = run_program("murgel", {"mask.raw", "raw", "2"}, dir.path());
    EXPECT_EQ(raw.status, 1);
    EXPECT_EQ(raw.out, banner + "\nError: the output 'mask_out.dim' would overwrite the input 'mask.dim'; "
                                "nothing was written\n");
    const auto bmp = run_program("murgel", {"plan.bmp", "bmp", "2"}, dir.path());
    EXPECT_EQ(bmp.status, 1);
    EXPECT_EQ(bmp.out, banner + "\nError: the output 'plan_out.bmp' would overwrite the input 'plan.bmp'; "
                                "nothing was written\n");
    EXPECT_EQ(folder_contents(dir.path()), before);
}

TEST(Murgel, HelpAndVersionAskNothing)
{
    TempDir dir;
    const auto help = run_program("murgel", {"-h"}, dir.path());
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("murgel: ", 0), 0u);
    EXPECT_NE(help.out.find("Exit status"), std::string::npos);
    EXPECT_EQ(help.out.find(banner), std::string::npos);  // no run, no prompt
    const auto version = run_program("murgel", {"--version"}, dir.path());
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("murgel ", 0), 0u);
    EXPECT_TRUE(list_files(dir.path()).empty());
}

TEST(Murgel, BackgroundSmallerThanTheThresholdIsFilled)
{
    // No foreground at all: the foreground value is 0, and the RAW writer
    // writes the filled pixels as 255.
    TempDir dir;
    write_bytes(dir.file("dark.raw"), Bytes(4, 0));
    write_text(dir.file("dark.dim"), "2 2");
    ASSERT_EQ(run_program("murgel", {"dark.raw", "raw", "5"}, dir.path()).status, 0);
    EXPECT_EQ(read_bytes(dir.file("dark_out.raw")), Bytes(4, 255));
    ASSERT_EQ(run_program("murgel", {"dark.raw", "raw", "4"}, dir.path()).status, 0);
    EXPECT_EQ(read_bytes(dir.file("dark_out.raw")), Bytes(4, 0));
}

// Found by fuzzing: headers whose one extent is 0 and the other huge hold no
// pixel, so no black background either; they are refused without a buffer of
// the huge extent (a 2 GB row, a 4 GB bordered mask before).
TEST(Murgel, MasksWithoutPixelsAreRefusedAtOnce)
{
    TempDir dir;
    Bytes wide = make_bmp(0, 0, {}, grey_palette());
    wide[18] = 0x07;
    wide[21] = 0x7C;  // width 2080374791, height 0
    write_bytes(dir.file("wide.bmp"), wide);
    expect_refused(dir, "wide.bmp", "\nInput file should have black background\n");

    write_bytes(dir.file("tall.raw"), Bytes{});
    write_text(dir.file("tall.dim"), "0 2147483647\n");
    expect_refused(dir, "tall.raw", "\nInput file should have black background\n");
}
