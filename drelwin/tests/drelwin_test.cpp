// Drelwin run end to end on files in a temporary folder.

#include "bmp_builder.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

// Palette indices of a BMP, row 0 the top; empty when the file is missing.
std::vector<std::uint8_t> pixels_of(const std::string& path)
{
    if (!file_exists(path)) return {};
    return bmp_pixels(read_bytes(path));
}

std::vector<std::uint8_t> white(int width, int height)
{
    return std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height, 255);
}

}  // namespace

TEST(Drelwin, DrawsTheSegmentsIntoAGreyBmp)
{
    TempDir dir;
    write_text(dir.file("seg.txt"), "0 0 3 9\n8 5 2 5\n");
    const RunResult r = run_program("drelwin", {"seg.txt", "out.bmp", "10", "12"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\nEnd");

    const Bytes file = read_bytes(dir.file("out.bmp"));
    ASSERT_EQ(file.size(), 1078u + 12u * 12u);
    EXPECT_EQ(le32(file, 18), 10u);
    EXPECT_EQ(le32(file, 22), 12u);
    std::vector<std::uint8_t> expected = white(10, 12);
    for (auto [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {0, 1}, {0, 2}, {1, 3}, {1, 4}, {1, 5}, {2, 6}, {2, 7}, {2, 8}, {3, 9}})
        expected[y * 10 + x] = 0;
    for (int x = 2; x <= 8; ++x) expected[5 * 10 + x] = 0;
    EXPECT_EQ(bmp_pixels(file), expected);
}

TEST(Drelwin, ScoreColumnAndCrLfDrawTheSameImage)
{
    TempDir dir;
    write_text(dir.file("five.txt"), "   12    40    57    88 -5.93\r\n    0    99    99     0  1.25\r\n");
    write_text(dir.file("four.txt"), "12 40 57 88\n0 99 99 0\n");
    EXPECT_EQ(run_program("drelwin", {"five.txt", "five.bmp", "100", "100"}, dir.path()).status, 0);
    EXPECT_EQ(run_program("drelwin", {"four.txt", "four.bmp", "100", "100"}, dir.path()).status, 0);
    const Bytes five = read_bytes(dir.file("five.bmp"));
    EXPECT_EQ(five, read_bytes(dir.file("four.bmp")));
    EXPECT_NE(bmp_pixels(five), white(100, 100));
}

// A file without any byte or with nothing but white space holds no segments
// (the line extractor writes an empty file when it finds no line): its image
// is all white, as is that of a file that is no valid segments file, and a
// warning says which it was.
TEST(Drelwin, EmptyOrInvalidSegmentsFileGivesAWhiteImageWithAWarning)
{
    TempDir dir;
    write_text(dir.file("empty.txt"), "");
    write_text(dir.file("blank.txt"), "\r\n");
    write_text(dir.file("three.txt"), "1 2 3\n");
    write_text(dir.file("partial.txt"), "1 2 3 4\n5 6\n");
    for (const char* name : {"empty.txt", "blank.txt", "three.txt", "partial.txt"}) {
        const RunResult r = run_program("drelwin", {name, "out.bmp", "7", "3"}, dir.path());
        const bool blank = std::string(name) == "empty.txt" || std::string(name) == "blank.txt";
        const std::string warning = blank ? "' holds no segments" : "' is not a valid segments file";
        EXPECT_EQ(r.out, "\nWarning: '" + std::string(name) + warning + ": the image is all white\nEnd");
        EXPECT_EQ(r.status, 0) << name;
        EXPECT_EQ(pixels_of(dir.file("out.bmp")), white(7, 3)) << name;
        std::remove(dir.file("out.bmp").c_str());
    }
}

TEST(Drelwin, MissingInputWritesNothing)
{
    TempDir dir;
    RunResult r = run_program("drelwin", {"none.txt", "out.bmp", "7", "3"}, dir.path(), "\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nError in file opening\nEnd");
    EXPECT_FALSE(file_exists(dir.file("out.bmp")));

    // A folder is no segments file, even where the system opens it (and
    // would read it as empty).
    std::filesystem::create_directory(dir.file("folder.txt"));
    r = run_program("drelwin", {"folder.txt", "out.bmp", "7", "3"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nError in file opening\nEnd");
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"folder.txt"}));
}

TEST(Drelwin, SizeOfZeroOrLessIsRefused)
{
    TempDir dir;
    write_text(dir.file("seg.txt"), "0 0 3 3\n");
    for (auto [w, h] : std::vector<std::pair<const char*, const char*>>{{"0", "5"}, {"5", "-2"}}) {
        const RunResult r = run_program("drelwin", {"seg.txt", "out.bmp", w, h}, dir.path(), "\n");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find("\nError: image width and height must be greater than 0"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.substr(r.out.size() - 4), "\nEnd");
        EXPECT_FALSE(file_exists(dir.file("out.bmp")));
    }
    const RunResult r = run_program("drelwin", {"seg.txt", "out.bmp", "5", "12x"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nError: '12x' is not a whole number (height)\n");
}

TEST(Drelwin, PromptsForItsInputsAndWaitsAtTheEnd)
{
    TempDir dir;
    write_text(dir.file("seg.txt"), "0 1 3 1\n");
    const RunResult r = run_program("drelwin", {}, dir.path(), "seg.txt more words\nout.bmp\n4 junk\n3\nk");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\nInput File=\nOutput file=\nLarghezza=\nAltezza=\nEnd");
    EXPECT_EQ(pixels_of(dir.file("out.bmp")), (std::vector<std::uint8_t>{255, 255, 255, 255, 0, 0, 0, 0, 255, 255, 255, 255}));
}

TEST(Drelwin, EndOfInputAtAPromptStops)
{
    TempDir dir;
    const RunResult r = run_program("drelwin", {}, dir.path(), "seg.txt\nout.bmp\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(file_exists(dir.file("out.bmp")));
}

TEST(Drelwin, WorkingFolderHoldsInputAndOutput)
{
    TempDir dir;
    const std::string folder = dir.file("aerial survey");
    ASSERT_EQ(std::system(("mkdir '" + folder + "'").c_str()), 0);
    write_text(folder + "/seg.txt", "0 0 1 1\n");
    const RunResult r = run_program("drelwin", {"seg.txt", "out.bmp", "2", "2", dir.file("aerial"), "survey"}, dir.path());
    EXPECT_EQ(r.out, "\nEnd");
    EXPECT_EQ(pixels_of(folder + "/out.bmp"), (std::vector<std::uint8_t>{0, 255, 255, 0}));
}

TEST(Drelwin, OutputThatCannotBeCreatedIsReported)
{
    TempDir dir;
    write_text(dir.file("seg.txt"), "0 0 1 1\n");
    const RunResult r = run_program("drelwin", {"seg.txt", "no/such/folder/out.bmp", "2", "2"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nError: cannot write 'no/such/folder/out.bmp': No such file or directory\n\nEnd");
}

// Safe outputs and honest statuses.

TEST(Drelwin, WritesItsImageWholeOrNotAtAll)
{
    TempDir dir;
    write_text(dir.file("seg.txt"), "0 0 99 99\n0 99 99 0\n50 0 50 99\n");
    write_text(dir.file("out.bmp"), "an earlier run");
    EXPECT_GT(expect_whole_outputs_or_none("drelwin", {"seg.txt", "out.bmp", "100", "100"}, dir.path()), 3);
}

TEST(Drelwin, NeverWritesOverItsInput)
{
    TempDir dir;
    write_text(dir.file("segmenti.txt"), "0 0 3 3\n");
    const RunResult r = run_program("drelwin", {"segmenti.txt", "segmenti.txt", "1024", "1024"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nError: the output 'segmenti.txt' would overwrite the input 'segmenti.txt'; nothing was "
                     "written\n\nEnd");
    EXPECT_EQ(read_text(dir.file("segmenti.txt")), "0 0 3 3\n");
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"segmenti.txt"}));
}

TEST(Drelwin, HelpAndVersionAskNothing)
{
    TempDir dir;
    RunResult r = run_program("drelwin", {"--help"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("drelwin: ", 0), 0u);
    EXPECT_NE(r.out.find("\"Larghezza=\""), std::string::npos);
    r = run_program("drelwin", {"--version"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("drelwin ", 0), 0u);
    EXPECT_TRUE(list_files(dir.path()).empty());
}
