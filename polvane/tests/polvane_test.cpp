// End-to-end tests of Polvane: the real program on class maps written as
// BMP files in a temporary folder.
#include "bmp_builder.h"
#include "reference_vectoriser.h"
#include "shapefile_writer.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace testsupport;

namespace {

const std::string banner =
    "\n              * * *  Polvane  * * *\n\n"
    "\n                   * * * WARNING * * *\n"
    "\n     This routine works only with 8 bit Bmp files \n"
    "\n     The routine generates a SHP file for each color inside the image\n"
    "\n     Grayscale tonalities are not considered as color\n\n"
    "  \n\n"
    "    -------------------------------------------------\n\n";

// Palette: greys everywhere, then class colours at 1, 2, 3, ... ('a', 'b',
// 'c' in pictures); '.' is index 0 (black), '-' index 128 (grey).
Palette class_palette(int classes = 8)
{
    Palette palette = grey_palette();
    for (int c = 0; c < classes; ++c) palette[1 + c] = 0x100000u * (c + 1) + 0x000100u * (7 * c % 16) + 0x20u;
    return palette;
}

Bytes picture_bmp(const std::vector<std::string>& rows, const Palette& palette = class_palette())
{
    const int height = static_cast<int>(rows.size()), width = static_cast<int>(rows[0].size());
    std::vector<std::uint8_t> pixels;
    for (const auto& row : rows)
        for (char c : row) pixels.push_back(c == '.' ? 0 : c == '-' ? 128 : static_cast<std::uint8_t>(1 + c - 'a'));
    return make_bmp(width, height, pixels, palette);
}

class Polvane : public testing::Test {
protected:
    RunResult run(const std::vector<std::string>& args, const std::string& input = "")
    {
        return run_program("polvane", args, dir.path(), input);
    }

    TempDir dir;
};

// The progress lines of the classes named by their letters in census order
// (class_palette's colours), with the number of blobs of each.
std::string colour_lines(const std::string& classes, const std::vector<int>& blobs)
{
    const int colours = static_cast<int>(classes.size());
    const Palette palette = class_palette();
    std::string text;
    for (int i = 0; i < colours; ++i) {
        const int index = 1 + classes[static_cast<std::size_t>(i)] - 'a';
        const std::uint32_t rgb = palette[static_cast<std::size_t>(index)];
        text += "\n\n\nProcessing Color: " + std::to_string(i + 1) + "/" + std::to_string(colours) +
                " (palette index " + std::to_string(index) + ", RGB " + std::to_string(rgb >> 16) + " " +
                std::to_string((rgb >> 8) & 255) + " " + std::to_string(rgb & 255) + ")\n\n";
        text += "blob in process: ... initializing";
        for (int b = 1; b <= blobs[i]; ++b) text += " " + std::to_string(b);
    }
    return text;
}

}  // namespace

TEST_F(Polvane, CentrePixelGivesTheThreeFiles)
{
    write_bytes(dir.file("map.bmp"), picture_bmp({"...", ".a.", "..."}));
    const RunResult r = run({"map.bmp", "zones"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner + "\n\nBPW file not present\n" + "\nOk..." + "\nThe color number is 1\n" +
                         colour_lines("a", {1}) + "\n\nEnd");
    const Bytes shp = read_bytes(dir.file("zones_0.shp"));
    ASSERT_EQ(shp.size(), 236u);
    EXPECT_EQ(be32(shp, 24), 118u);
    EXPECT_EQ(le_double(shp, 52), 3.0);
    const double ring[] = {1, 1, 2, 1, 2, 2, 1, 2, 1, 1};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(le_double(shp, 156 + 8 * i), ring[i]);
    EXPECT_EQ(read_bytes(dir.file("zones_0.shx")).size(), 108u);
    EXPECT_EQ(read_bytes(dir.file("zones_0.dbf")).size(), 73u);
}

TEST_F(Polvane, ColoursInCensusOrderNotPaletteOrder)
{
    // c stands first in the first column, a is alone in the last column.
    write_bytes(dir.file("map.bmp"), picture_bmp({"c.b.a", "..b..", "c...."}));
    const RunResult r = run({"map.bmp", "out"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\nThe color number is 3\n" + colour_lines("cba", {2, 1, 1}) + "\n\nEnd"), std::string::npos)
        << r.out;
    EXPECT_EQ(list_files(dir.path()),
              (std::vector<std::string>{"map.bmp", "out_0.dbf", "out_0.shp", "out_0.shx", "out_1.dbf", "out_1.shp",
                                        "out_1.shx", "out_2.dbf", "out_2.shp", "out_2.shx"}));
    // Colour 0 (c) has two blobs: the lower one is record 1.
    const Bytes shp = read_bytes(dir.file("out_0.shp"));
    EXPECT_EQ(le_double(shp, 112 + 8), 0.0);  // record 1 box: y from 0
    // Colour 2 (a) is the pixel at the top right.
    const Bytes last = read_bytes(dir.file("out_2.shp"));
    EXPECT_EQ(le_double(last, 112), 4.0);
    EXPECT_EQ(le_double(last, 120), 2.0);
}

TEST_F(Polvane, SameColourUnderTwoPaletteIndicesIsOneColour)
{
    Palette palette = class_palette();
    palette[9] = palette[1];
    std::vector<std::uint8_t> pixels = {1, 0, 9};
    write_bytes(dir.file("map.bmp"), make_bmp(3, 1, pixels, palette));
    const RunResult r = run({"map.bmp", "out"});
    EXPECT_NE(r.out.find("\nThe color number is 1\n" + colour_lines("a", {2})), std::string::npos) << r.out;
}

TEST_F(Polvane, GreyOnlyImageWritesNothing)
{
    write_bytes(dir.file("grey.bmp"), picture_bmp({"..-", "-.."}));
    const RunResult r = run({"grey.bmp", "out"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner + "\n\nBPW file not present\n\nOk...\nThe color number is 0\n\n\nEnd");
    EXPECT_EQ(list_files(dir.path()), std::vector<std::string>{"grey.bmp"});
}

TEST_F(Polvane, ImageWithoutColumnsHasNoColourWhateverItsRows)
{
    // Width 0 and the largest height: no pixels, and nothing to walk.
    Bytes empty = picture_bmp({"a"});
    for (int i = 0; i < 4; ++i) {
        empty[18 + i] = 0;
        empty[22 + i] = i == 3 ? 0x7F : 0xFF;
    }
    write_bytes(dir.file("empty.bmp"), empty);
    const RunResult r = run({"empty.bmp", "out"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner + "\n\nBPW file not present\n\nOk...\nThe color number is 0\n\n\nEnd");
    EXPECT_EQ(list_files(dir.path()), std::vector<std::string>{"empty.bmp"});
}

TEST_F(Polvane, At253ColoursWorksAt254Refuses)
{
    Palette palette(256);
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < 256; ++i) palette[i] = 0x010000u * static_cast<std::uint32_t>(i) + 0x40u;  // none grey
    for (int i = 0; i < 253; ++i) pixels.push_back(static_cast<std::uint8_t>(i));
    write_bytes(dir.file("ok.bmp"), make_bmp(253, 1, pixels, palette));
    RunResult r = run({"ok.bmp", "out"});
    EXPECT_NE(r.out.find("\nThe color number is 253\n"), std::string::npos);
    EXPECT_TRUE(file_exists(dir.file("out_252.shp")));

    pixels.push_back(253);
    write_bytes(dir.file("many.bmp"), make_bmp(254, 1, pixels, palette));
    r = run({"many.bmp", "many"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner + "\n\nBPW file not present\n\nOk...\n Too much color\n\nEnd");
    EXPECT_FALSE(file_exists(dir.file("many_0.shp")));
}

TEST_F(Polvane, WorldFileGivesMapUnits)
{
    write_bytes(dir.file("plan.bmp"), picture_bmp({"aaaaaaaaaa", "aaaaaaaaaa", "aaaaaaaaaa", "aaaaaaaaaa", "aaaaaaaaaa"}));
    write_text(dir.file("plan.bpw"), "2\n0\n0\n-2\n1000\n5000\n");
    const RunResult r = run({"plan.bmp", "out"});
    EXPECT_NE(r.out.find("\n\nBPW file present\n"), std::string::npos);
    const Bytes shp = read_bytes(dir.file("out_0.shp"));
    EXPECT_EQ(le_double(shp, 36), 1000.0);
    EXPECT_EQ(le_double(shp, 44), 4990.0);
    EXPECT_EQ(le_double(shp, 52), 1020.0);
    EXPECT_EQ(le_double(shp, 60), 5000.0);
    EXPECT_EQ(le_double(shp, 156), 1000.0);  // first vertex (0, 0)
    EXPECT_EQ(le_double(shp, 164), 4990.0);
    const Bytes shx = read_bytes(dir.file("out_0.shx"));
    EXPECT_EQ(le_double(shx, 52), 9.0);
    EXPECT_EQ(le_double(shx, 60), 4.0);

    // Five numbers: the file is present but ignored.
    write_text(dir.file("plan.bpw"), "2 0 0 -2 1000\n");
    run({"plan.bmp", "out"});
    EXPECT_EQ(le_double(read_bytes(dir.file("out_0.shp")), 52), 10.0);
}

TEST_F(Polvane, WorldFileNameReplacesTheLastThreeCharacters)
{
    write_bytes(dir.file("a.b"), picture_bmp({"a"}));
    write_text(dir.file("bpw"), "1 0 0 -1 50 60\n");
    EXPECT_NE(run({"a.b", "out"}).out.find("\n\nBPW file present\n"), std::string::npos);
    EXPECT_EQ(le_double(read_bytes(dir.file("out_0.shp")), 36), 50.0);

    // Too short to derive a name: no world file.
    write_bytes(dir.file("ab"), picture_bmp({"a"}));
    EXPECT_NE(run({"ab", "out"}).out.find("\n\nBPW file not present\n"), std::string::npos);
}

TEST_F(Polvane, TopDownAndLongHeaderFilesGiveTheSameShapes)
{
    const std::vector<std::string> picture = {"ab.", ".ab", "b.a"};
    write_bytes(dir.file("plain.bmp"), picture_bmp(picture));
    std::vector<std::uint8_t> pixels;
    for (const auto& row : picture)
        for (char c : row) pixels.push_back(c == '.' ? 0 : static_cast<std::uint8_t>(1 + c - 'a'));
    BmpLayout other;
    other.top_down = true;
    other.info_header_size = 124;
    write_bytes(dir.file("other.bmp"), make_bmp(3, 3, pixels, class_palette(), other));
    run({"plain.bmp", "plain"});
    run({"other.bmp", "other"});
    for (const char* name : {"_0.shp", "_1.shp", "_1.shx"})
        EXPECT_EQ(read_bytes(dir.file(std::string("plain") + name)), read_bytes(dir.file(std::string("other") + name)));
}

TEST_F(Polvane, WorkingFolderOfSeveralWords)
{
    const std::string folder = dir.file("my data dir");
    std::filesystem::create_directory(folder);
    write_bytes(folder + "/in.bmp", picture_bmp({"a."}));
    write_text(folder + "/in.bpw", "1 0 0 -1 50 60\n");
    const RunResult r = run({"in.bmp", "out", dir.path() + "/my", "data", "dir"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("BPW file present"), std::string::npos);
    EXPECT_TRUE(file_exists(folder + "/out_0.shp"));
    EXPECT_TRUE(file_exists(folder + "/out_0.dbf"));
}

TEST_F(Polvane, PromptsThenWaitsForAKey)
{
    write_bytes(dir.file("map.bmp"), picture_bmp({"a"}));
    const RunResult r = run({}, "map.bmp extra words\nout\n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(banner.size(), 27), "\nInput File=\nOutput file=\n\n");
    EXPECT_TRUE(file_exists(dir.file("out_0.shp")));
    EXPECT_EQ(r.out.substr(r.out.size() - 5), "\n\nEnd");

    const RunResult ended = run({"map.bmp"}, "map.bmp\n");
    EXPECT_EQ(ended.status, 2);
    EXPECT_NE(ended.out.find("standard input ended"), std::string::npos);
}

TEST_F(Polvane, UnreadableInputs)
{
    RunResult r = run({"missing.bmp", "out"}, "");
    EXPECT_EQ(r.out, banner + "\n\nBPW file not present\nCannot open input file\n\nError in file opening\n\nEnd");
    EXPECT_EQ(r.status, 1);

    Bytes deep = picture_bmp({"ab"});
    deep[28] = 24;
    write_bytes(dir.file("deep.bmp"), deep);
    r = run({"deep.bmp", "out"});
    EXPECT_NE(r.out.find("\nNot a valid 8 bit BMP format\nError in file opening\n\nEnd"), std::string::npos);

    write_text(dir.file("text.bmp"), "not a picture at all, just words");
    r = run({"text.bmp", "out"});
    EXPECT_NE(r.out.find("\nError in file opening\n\nEnd"), std::string::npos);

    Bytes cut = picture_bmp({"abab", "baba", "abab"});
    cut.resize(cut.size() - 5);
    write_bytes(dir.file("cut.bmp"), cut);
    r = run({"cut.bmp", "out"});
    EXPECT_NE(r.out.find("\nError in file opening\n\nEnd"), std::string::npos);

    Bytes huge = picture_bmp({"ab"});
    for (int i = 0; i < 4; ++i) huge[18 + i] = huge[22 + i] = i == 3 ? 0x7F : 0xFF;  // lying extent
    write_bytes(dir.file("huge.bmp"), huge);
    r = run({"huge.bmp", "out"});
    EXPECT_NE(r.out.find("\nError in file opening\n\nEnd"), std::string::npos);
    EXPECT_EQ(r.status, 1);

    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"cut.bmp", "deep.bmp", "huge.bmp", "text.bmp"}));
}

TEST_F(Polvane, UnwritableOutputEndsWithoutSuccess)
{
    write_bytes(dir.file("map.bmp"), picture_bmp({"ab"}));
    const RunResult r = run({"map.bmp", "no/such/folder/out"});
    EXPECT_EQ(r.status, 1);
    const std::string ending =
        "\nError in creating '.shp'\ncannot write 'no/such/folder/out_0.shp': No such file or directory\n";
    EXPECT_EQ(r.out.substr(r.out.size() - ending.size()), ending);
    EXPECT_EQ(r.out.find("End"), std::string::npos);
    EXPECT_EQ(r.out.find("Processing Color: 2/2"), std::string::npos);
}

// Random class maps through the real program, each colour's files against
// the whole-image procedure written by the same writer.
TEST_F(Polvane, RandomMapsMatchTheWholeImageProcedure)
{
    std::mt19937 rng(31);
    const Palette palette = class_palette();
    for (int trial = 0; trial < 25; ++trial) {
        const int width = 1 + static_cast<int>(rng() % 40), height = 1 + static_cast<int>(rng() % 40);
        const int classes = 1 + static_cast<int>(rng() % 5);
        const Grid<std::uint8_t> map = random_class_map(rng, width, height, classes);
        std::vector<std::uint8_t> pixels;
        std::vector<int> census;  // class indices in order of the column search
        for (int r = 0; r < height; ++r)
            for (int x = 0; x < width; ++x) {
                const std::uint8_t c = map(x, height - 1 - r);
                pixels.push_back(c == test_no_class ? 0 : static_cast<std::uint8_t>(1 + c));
            }
        for (int x = 0; x < width; ++x)
            for (int r = 0; r < height; ++r) {
                const int c = map(x, height - 1 - r);
                if (c != test_no_class && std::find(census.begin(), census.end(), c) == census.end())
                    census.push_back(c);
            }
        write_bytes(dir.file("map.bmp"), make_bmp(width, height, pixels, palette));
        const RunResult r = run({"map.bmp", "out" + std::to_string(trial)});
        ASSERT_EQ(r.status, 0);
        for (std::size_t k = 0; k < census.size(); ++k) {
            const std::string got = dir.file("out" + std::to_string(trial) + "_" + std::to_string(k));
            const std::string want = dir.file("want");
            const RecordArrays expected = reference_trace_class(map, census[k]);
            ASSERT_FALSE(gen_file_shp(shapefile_paths(want), expected, width, height, {}));
            for (const char* extension : {".shp", ".shx", ".dbf"})
                ASSERT_EQ(read_bytes(got + extension), read_bytes(want + extension)) << trial << " " << k << extension;
        }
        EXPECT_FALSE(file_exists(dir.file("out" + std::to_string(trial) + "_" + std::to_string(census.size()) + ".shp")));
    }
}

// Nothing lost: a run writes all of its shapefiles or none, never over an
// input, and refuses a world file that would misplace every polygon.
TEST_F(Polvane, WritesAllOfItsFilesOrNone)
{
    // Shapefiles of several sizes, so that a limit on the file size fails
    // the writing at one file after another.
    std::vector<std::string> rows;
    for (int y = 0; y < 24; ++y) {
        std::string row;
        for (int x = 0; x < 24; ++x) row += (x + y) % 2 ? 'a' : (x * y) % 5 == 0 ? 'b' : 'c';
        rows.push_back(row);
    }
    write_bytes(dir.file("map.bmp"), picture_bmp(rows));
    write_text(dir.file("map.bpw"), "2\n0\n0\n-2\n1000\n5000\n");
    write_text(dir.file("out_1.shp"), "an earlier run");
    EXPECT_GT(expect_whole_outputs_or_none("polvane", {"map.bmp", "out"}, dir.path()), 3);
}

TEST_F(Polvane, NeverWritesOverItsInputs)
{
    const Bytes map = picture_bmp({"ab"});
    write_bytes(dir.file("out_1.dbf"), map);
    const RunResult r = run({"out_1.dbf", "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\nError: the output 'out_1.dbf' would overwrite the input 'out_1.dbf'; nothing was written\n"),
              std::string::npos);
    EXPECT_EQ(folder_contents(dir.path()), (std::map<std::string, Bytes>{{"out_1.dbf", map}}));
}

TEST_F(Polvane, UnusableWorldFilesAreRefused)
{
    write_bytes(dir.file("map.bmp"), picture_bmp({"ab"}));
    for (const char* world : {"nan 0 0 -2 1000 5000", "2 0 0 0 1000 5000", "2 0 0 -2 inf 5000"}) {
        write_text(dir.file("map.bpw"), world);
        const RunResult r = run({"map.bmp", "out"});
        EXPECT_EQ(r.status, 1) << world;
        EXPECT_NE(r.out.find("\nError: the world file 'map.bpw' does not hold six finite values"), std::string::npos);
        EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"map.bmp", "map.bpw"}));
    }
}

// A two-valued mask on black, as the mask cleaner writes it (grey palette):
// its foreground is one class with --mask.
TEST_F(Polvane, MaskOptionTakesEveryColourButBlack)
{
    write_bytes(dir.file("mask.bmp"), picture_bmp({"-.-", "--.", "..."}));
    RunResult r = run({"mask.bmp", "out"});
    EXPECT_NE(r.out.find("\nThe color number is 0\n"), std::string::npos);
    r = run({"--mask", "mask.bmp", "out"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\nThe color number is 1\n\n\n\nProcessing Color: 1/1 (palette index 128, RGB 128 128 128)"
                         "\n\nblob in process: ... initializing 1\n\nEnd"),
              std::string::npos)
        << r.out;
    EXPECT_TRUE(file_exists(dir.file("out_0.shp")));
}

TEST_F(Polvane, HelpAndVersionAskNothing)
{
    RunResult r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("polvane: ", 0), 0u);
    EXPECT_NE(r.out.find("\"Input File=\""), std::string::npos);
    EXPECT_NE(r.out.find("--of FORMAT"), std::string::npos);
    EXPECT_EQ(r.out.find("* * *"), std::string::npos);
    r = run({"-h"});
    EXPECT_EQ(r.out.rfind("polvane: ", 0), 0u);
    r = run({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("polvane 1.1.0", 0), 0u);
    r = run({"map.bmp", "out", "--of", "GTiff"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("the output format 'GTiff' is not one this program writes (GPKG)"), std::string::npos);
    r = run({"--gsi", "map.bmp", "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "polvane: unknown option '--gsi'\nRun 'polvane --help' for the usage.\n");
    EXPECT_TRUE(list_files(dir.path()).empty());
}
