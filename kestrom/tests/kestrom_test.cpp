// Kestrom run end to end on terrain models and crossroads files in a
// temporary folder.

#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

const std::string banner =
    "\n              * * *  Kestrom  * * *\n\n"
    "\n                   * * * WARNING * * *\n"
    "\n     This routine works only with ascii file and floating point Raw files 32 bit\n\n"
    "       Raw files should have 'dim' header with image dimension\n\n"
    "  \n\n"
    "    -------------------------------------------------\n\n";

// A width x height terrain at `level`, with a 5 x 5 block of `block` centred
// on (cx, cy) when block is not 0.
void write_dtm(const std::string& base, int width, int height, float level, int cx = 0, int cy = 0,
               float block = 0, bool with_dim = true)
{
    Bytes bytes;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float v = level;
            if (block != 0 && std::abs(x - cx) <= 2 && std::abs(y - cy) <= 2) v = block;
            unsigned char b[4];
            std::memcpy(b, &v, 4);
            bytes.insert(bytes.end(), b, b + 4);  // the test machines are little-endian
        }
    write_bytes(base + ".raw", bytes);
    if (with_dim) write_text(base + ".dim", std::to_string(width) + "\t" + std::to_string(height) + "\n");
}

bool ends_with(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Two diagonals crossing at (15, 15).
const std::string diagonals = "10 10 20 20 10 20 20 10\n";

// Runs kestrom on "cross.txt" holding `crossroads` and "dtm": 40 x 40 at
// 100, with a 5 x 5 block of `block` around (15, 15) unless block is 0.
RunResult run_on_dtm(const TempDir& dir, float block, const std::string& crossroads)
{
    write_dtm(dir.file("dtm"), 40, 40, 100.0f, 15, 15, block);
    write_text(dir.file("cross.txt"), crossroads);
    return run_program("kestrom", {"cross.txt", "dtm"}, dir.path());
}

}  // namespace

TEST(Kestrom, ReportsACrossingOnAPlateau)
{
    TempDir dir;
    const RunResult r = run_on_dtm(dir, 104.0f, diagonals);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner + "15\t15\t4.00\n\nEnd");
    EXPECT_EQ(read_text(dir.file("crossover_cross.txt")), "15\t15\t4.00\n");
}

TEST(Kestrom, CrossingMeasuredOnNaNIsNotReported)
{
    TempDir dir;
    write_dtm(dir.file("dtm"), 40, 40, 100.0f, 15, 15, 104.0f);
    // A NaN sample 10 columns right of the crossing (15, 15), in the row mean.
    Bytes bytes = read_bytes(dir.file("dtm.raw"));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(&bytes[4 * (15 * 40 + 25)], &nan, 4);
    write_bytes(dir.file("dtm.raw"), bytes);
    write_text(dir.file("cross.txt"), diagonals);
    const RunResult r = run_program("kestrom", {"cross.txt", "dtm"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner + "\nEnd");
    EXPECT_EQ(read_text(dir.file("crossover_cross.txt")), "");
}

TEST(Kestrom, LowPlateauIsNotReported)
{
    TempDir dir;
    const RunResult r = run_on_dtm(dir, 102.0f, diagonals);
    EXPECT_EQ(r.out, banner + "\nEnd");
    EXPECT_EQ(read_text(dir.file("crossover_cross.txt")), "");
}

TEST(Kestrom, ParallelPairsWarnAndOutsideCrossingsAreSkipped)
{
    TempDir dir;
    write_dtm(dir.file("dtm"), 40, 40, 100.0f);
    // Two horizontals, two verticals, a crossing at (50, 50) outside.
    write_text(dir.file("cross.txt"), "0 0 10 0 0 5 10 5\n2 0 2 9 7 1 7 8\n40 40 60 60 40 60 60 40\n");
    const RunResult r = run_program("kestrom", {"cross.txt", "dtm"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner + "\nWarning: parallel segments found\nWarning: parallel segments found\nEnd");
}

TEST(Kestrom, CrossingNearTheEdgeTruncatedAndDividedByEight)
{
    TempDir dir;
    write_dtm(dir.file("dtm"), 40, 40, 100.0f);
    // A vertical line at x = -0.5 crossing row 20: column 0, whose left cells
    // are missing, so the row mean is 400 / 8 = 50.
    write_text(dir.file("cross.txt"), "-0.5 0 -0.5 30 0 20 30 20\n-1 0 -1 30 0 20 30 20\n");
    const RunResult r = run_program("kestrom", {"cross.txt", "dtm"}, dir.path());
    EXPECT_EQ(r.out, banner + "0\t20\t50.00\n\nEnd");
}

TEST(Kestrom, RecordsFollowTheNumberStreamNotTheLines)
{
    TempDir dir;
    const RunResult r = run_on_dtm(dir, 110.0f, "10 10\r\n20 20 10 20\r\n20 10 10 10 20 20 10\n20 20 10\n");
    EXPECT_EQ(r.out, banner + "15\t15\t10.00\n15\t15\t10.00\n\nEnd");
}

TEST(Kestrom, IncompleteLastRecordIsIgnoredWithANote)
{
    TempDir dir;
    const RunResult r = run_on_dtm(dir, 104.0f, "10 10 20 20 10 20 20 10\n10 10 20\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner + "15\t15\t4.00\n\nWarning: the last record holds only 3 of 8 numbers and is ignored\nEnd");
    EXPECT_EQ(read_text(dir.file("crossover_cross.txt")), "15\t15\t4.00\n");
}

TEST(Kestrom, TextThatIsNotANumberEndsTheRecords)
{
    TempDir dir;
    const RunResult r = run_on_dtm(dir, 104.0f, "10 10 20 20 10 20 20 10\nend\n10 10 20 20 10 20 20 10\n");
    EXPECT_EQ(r.out, banner + "15\t15\t4.00\n\nWarning: the crossroads file holds text that is not a number; reading stops there\nEnd");
}

TEST(Kestrom, MissingDimensionFileIsAskedForOnlyAtThePrompts)
{
    TempDir dir;
    write_dtm(dir.file("dtm"), 40, 30, 100.0f, 15, 15, 104.0f, false);
    write_text(dir.file("cross.txt"), "10 10 20 20 10 20 20 10\n");
    RunResult r = run_program("kestrom", {}, dir.path(), "cross.txt dtm\n40\n30\n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner + "Input file crossroads (ascii file): \nInput file dtm (without extension): "
                              "\nError opening dtm dimension file (.dim)\n\nEnter dimension:\n\nwidth: \nheight: "
                              "15\t15\t4.00\n\nEnd");

    // With arguments nobody is asked: the missing or unreadable file is named.
    std::filesystem::remove(dir.file("crossover_cross.txt"));
    r = run_program("kestrom", {"cross.txt", "dtm"}, dir.path(), "40\n30\n");
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, banner + "\nError opening dtm dimension file (.dim)"
                              "\nError: cannot open 'dtm.dim', which gives the width and the height\n");
    write_text(dir.file("dtm.dim"), "40 x\n");
    r = run_program("kestrom", {"cross.txt", "dtm"}, dir.path());
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, banner + "\nError opening dtm dimension file (.dim)"
                              "\nError: 'dtm.dim' does not hold two whole numbers, the width and the height\n");
    EXPECT_FALSE(file_exists(dir.file("crossover_cross.txt")));
}

TEST(Kestrom, FailuresEndWithStatus255AndNoEnd)
{
    TempDir dir;
    write_text(dir.file("cross.txt"), "10 10 20 20 10 20 20 10\n");

    // No raster.
    write_text(dir.file("none.dim"), "4 4\n");
    RunResult r = run_program("kestrom", {"cross.txt", "none"}, dir.path(), "\n");
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, banner + "\nError in opening dtm file");

    // A raster whose size does not match its ".dim".
    write_dtm(dir.file("dtm"), 40, 40, 100.0f);
    write_text(dir.file("dtm.dim"), "40 41\n");
    r = run_program("kestrom", {"cross.txt", "dtm"}, dir.path(), "\n");
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(ends_with(r.out, "\nError in reading dtm file")) << r.out;
    EXPECT_NE(r.out.find("does not match"), std::string::npos);
    write_text(dir.file("dtm.dim"), "40 39\n");
    r = run_program("kestrom", {"cross.txt", "dtm"}, dir.path(), "\n");
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(ends_with(r.out, "\nError in reading dtm file")) << r.out;
    write_text(dir.file("dtm.dim"), "40 40\n");

    // A report that cannot be written: the message about it, then the file
    // and the reason; nothing is left.
    write_dtm(dir.file("dtm"), 40, 40, 100.0f, 15, 15, 104.0f);
    r = run_program_with_file_limit("kestrom", {"cross.txt", "dtm"}, dir.path(), 0, "\n");
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(ends_with(r.out, "\nError in opening crossover.txt file\n"
                                 "cannot write 'crossover_cross.txt': File too large\n"))
        << r.out;
    EXPECT_FALSE(file_exists(dir.file("crossover_cross.txt")));

    // The crossroads file is opened before the report is made: a missing one
    // or a folder leaves an earlier report as it was.
    write_text(dir.file("crossover_missing.txt"), "an earlier report\n");
    r = run_program("kestrom", {"missing.txt", "dtm"}, dir.path(), "\n");
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, banner + "\nError in opening crossroads file");
    EXPECT_EQ(read_text(dir.file("crossover_missing.txt")), "an earlier report\n");
    std::filesystem::create_directory(dir.file("pairs"));
    r = run_program("kestrom", {"pairs", "dtm"}, dir.path(), "\n");
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, banner + "\nError in opening crossroads file");
    EXPECT_FALSE(file_exists(dir.file("crossover_pairs")));
}

TEST(Kestrom, PromptsAndWorkingFolder)
{
    TempDir dir;
    const std::string folder = dir.file("terrain models");
    ASSERT_EQ(std::system(("mkdir '" + folder + "'").c_str()), 0);
    write_dtm(folder + "/dtm", 40, 40, 100.0f, 15, 15, 104.0f);
    write_text(folder + "/cross.txt", "10 10 20 20 10 20 20 10\n");
    RunResult r = run_program("kestrom", {"cross.txt", "dtm", dir.file("terrain"), "models"}, dir.path());
    EXPECT_EQ(r.out, banner + "15\t15\t4.00\n\nEnd");
    EXPECT_EQ(read_text(folder + "/crossover_cross.txt"), "15\t15\t4.00\n");

    write_dtm(dir.file("dtm"), 40, 40, 100.0f, 15, 15, 104.0f);
    write_text(dir.file("cross.txt"), "10 10 20 20 10 20 20 10\n");
    r = run_program("kestrom", {}, dir.path(), "cross.txt dtm\nk");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner + "Input file crossroads (ascii file): \nInput file dtm (without extension): 15\t15\t4.00\n\nEnd");

    r = run_program("kestrom", {}, dir.path(), "cross.txt");
    EXPECT_EQ(r.status, 2);
}

// Found by fuzzing: a ".dim" of width 0 and 2147483647 rows matches an empty
// raster. The model has no cell, so no crossing lies on it, and the run ends
// at once instead of walking two billion empty rows.
TEST(Kestrom, TerrainModelWithoutCells)
{
    TempDir dir;
    write_bytes(dir.file("dtm.raw"), Bytes{});
    write_text(dir.file("dtm.dim"), "0\t2147483647\n");
    write_text(dir.file("cross.txt"), "-0.5 0 -0.5 9 0 1 5 1\n");
    const RunResult r = run_program("kestrom", {"cross.txt", "dtm"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner + "\nEnd");
    EXPECT_EQ(read_text(dir.file("crossover_cross.txt")), "");
}

// The report is named from the crossroads file's name alone and written
// beside it; the run writes it whole or not at all and never over an input.
TEST(Kestrom, ReportBesideTheCrossroadsFileWholeOrNone)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("run"));
    std::filesystem::create_directory(dir.file("d"));
    write_dtm(dir.file("run/dtm"), 40, 40, 100.0f, 15, 15, 104.0f);
    write_text(dir.file("d/crossroads.txt"), diagonals);
    RunResult r = run_program("kestrom", {"../d/crossroads.txt", "dtm"}, dir.file("run"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(read_text(dir.file("d/crossover_crossroads.txt")), "15\t15\t4.00\n");
    EXPECT_EQ(list_files(dir.file("run")), (std::vector<std::string>{"dtm.dim", "dtm.raw"}));

    // A report of several blocks, its writing failed at each of them.
    std::string pairs;
    for (int i = 0; i < 300; ++i) pairs += diagonals;
    write_text(dir.file("run/crossroads.txt"), pairs);
    write_text(dir.file("run/crossover_crossroads.txt"), "an earlier report\n");
    EXPECT_GT(expect_whole_outputs_or_none("kestrom", {"crossroads.txt", "dtm"}, dir.file("run")), 3);

    // Crossroads "p.raw" would give the report "crossover_p.raw", which is
    // the terrain model "crossover_p".
    write_dtm(dir.file("crossover_p"), 40, 40, 100.0f, 15, 15, 104.0f);
    write_text(dir.file("p.raw"), diagonals);
    const auto before = folder_contents(dir.path());
    r = run_program("kestrom", {"p.raw", "crossover_p"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(ends_with(r.out, "\nError: the output 'crossover_p.raw' would overwrite the input 'crossover_p.raw'; "
                                 "nothing was written\n"))
        << r.out;
    EXPECT_EQ(folder_contents(dir.path()), before);
}

TEST(Kestrom, HelpAndVersionNeverPrompt)
{
    TempDir dir;
    for (const char* option : {"--help", "-h"}) {
        const RunResult r = run_program("kestrom", {option}, dir.path());
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.rfind("kestrom: ", 0), 0u) << r.out;
        EXPECT_NE(r.out.find("kestrom <crossroads file> <dtm base name> [working folder]"), std::string::npos);
        EXPECT_NE(r.out.find("Exit status: 0 done; 255"), std::string::npos);
    }
    const RunResult r = run_program("kestrom", {"--version"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("kestrom ", 0), 0u);
    EXPECT_EQ(r.out.find("Input file"), std::string::npos);
    EXPECT_TRUE(list_files(dir.path()).empty());
}
