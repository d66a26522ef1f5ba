// Traskel run end to end on files in a temporary folder; the three files it
// writes are compared byte for byte with files built here from the format.
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace testsupport;

namespace {

using Vertex = std::pair<double, double>;
using Shape = std::vector<Vertex>;  // one record of one part, in map units

void put_be32(Bytes& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(v >> shift));
}

void put_le32(Bytes& out, std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<unsigned char>(v >> shift));
}

void put_double(Bytes& out, double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int shift = 0; shift < 64; shift += 8) out.push_back(static_cast<unsigned char>(bits >> shift));
}

std::uint32_t content_words(const Shape& s) { return 22 + 2 + 8 * static_cast<std::uint32_t>(s.size()); }

void put_header(Bytes& out, std::uint32_t file_words, int type, double x0, double y0, double x1, double y1)
{
    put_be32(out, 9994);
    for (int i = 0; i < 5; ++i) put_be32(out, 0);
    put_be32(out, file_words);
    put_le32(out, 1000);
    put_le32(out, static_cast<std::uint32_t>(type));
    for (double v : {x0, y0, x1, y1, 0.0, 0.0, 0.0, 0.0}) put_double(out, v);
}

struct Box {
    double x_min, y_min, x_max, y_max;
};

Bytes expected_shp(int type, const Box& extent, const std::vector<Shape>& shapes)
{
    std::uint32_t words = 50;
    for (const Shape& s : shapes) words += 4 + content_words(s);
    Bytes out;
    put_header(out, words, type, extent.x_min, extent.y_min, extent.x_max, extent.y_max);
    std::uint32_t number = 0;
    for (const Shape& s : shapes) {
        put_be32(out, ++number);
        put_be32(out, content_words(s));
        put_le32(out, static_cast<std::uint32_t>(type));
        double x0 = s[0].first, y0 = s[0].second, x1 = x0, y1 = y0;
        for (auto [x, y] : s) {
            x0 = std::min(x0, x), x1 = std::max(x1, x);
            y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
        for (double v : {x0, y0, x1, y1}) put_double(out, v);
        put_le32(out, 1);
        put_le32(out, static_cast<std::uint32_t>(s.size()));
        put_le32(out, 0);
        for (auto [x, y] : s) put_double(out, x), put_double(out, y);
    }
    return out;
}

Bytes expected_shx(int type, int width, int height, const std::vector<Shape>& shapes)
{
    Bytes out;
    put_header(out, 50 + 4 * static_cast<std::uint32_t>(shapes.size()), type, 0, 0, width - 1, height - 1);
    std::uint32_t offset = 50;
    for (const Shape& s : shapes) {
        put_be32(out, offset);
        put_be32(out, content_words(s));
        offset += 4 + content_words(s);
    }
    return out;
}

Bytes expected_dbf(std::size_t records)
{
    Bytes out(65, 0);
    out[0] = 0x03, out[1] = 103, out[2] = 2, out[3] = 5;
    for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<unsigned char>(records >> (8 * i));
    out[8] = 65, out[10] = 7, out[29] = 0x57;
    out[32] = 'I', out[33] = 'd', out[43] = 'N', out[48] = 6, out[64] = 0x0D;
    for (std::size_t r = 0; r < records; ++r)
        for (char c : std::string("      0")) out.push_back(static_cast<unsigned char>(c));
    out.push_back(0x1A);
    return out;
}

class Traskel : public ::testing::Test {
protected:
    TempDir dir;

    RunResult run(const std::vector<std::string>& args, const std::string& input = "")
    {
        return run_program("traskel", args, dir.path(), input);
    }

    // The three files of base name `base` against those built from `shapes`.
    void expect_files(const std::string& base, int type, const Box& extent, int width, int height,
                      const std::vector<Shape>& shapes)
    {
        EXPECT_EQ(read_bytes(dir.file(base + ".shp")), expected_shp(type, extent, shapes));
        EXPECT_EQ(read_bytes(dir.file(base + ".shx")), expected_shx(type, width, height, shapes));
        EXPECT_EQ(read_bytes(dir.file(base + ".dbf")), expected_dbf(shapes.size()));
    }
};

// Two squares, each walked end to start; rows counted from the top.
const char* const two_squares =
    "1 1 4 1\n4 1 4 3\n4 3 1 3\n1 3 1 1\n"
    "6 5 8 5\n8 5 8 8\n8 8 6 8\n6 8 6 5\n";

}  // namespace

TEST_F(Traskel, TwoClosedSquaresAreTwoPolygons)
{
    write_text(dir.file("squares.txt"), two_squares);
    const RunResult r = run({"squares.txt", "out", "10", "10"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\n\nBPW file not present\n\nSegment number: 8\n\nEnd");
    // Row y becomes 10 - y - 1, counted from the bottom.
    expect_files("out", 5, {0, 0, 10, 10}, 10, 10,
                 {{{1, 8}, {4, 8}, {4, 6}, {1, 6}, {1, 8}}, {{6, 4}, {8, 4}, {8, 1}, {6, 1}, {6, 4}}});
    EXPECT_EQ(read_bytes(dir.file("out.shp")).size(), 372u);
}

TEST_F(Traskel, SevenSegmentsArePolylines)
{
    std::string seven = two_squares;
    seven.resize(seven.rfind("6 8 6 5\n"));
    write_text(dir.file("seven.txt"), seven);
    const RunResult r = run({"seven.txt", "out", "10", "10"});
    EXPECT_EQ(r.out, "\n\nBPW file not present\n\nSegment number: 7\n\nEnd");
    expect_files("out", 3, {0, 0, 10, 10}, 10, 10,
                 {{{1, 8}, {4, 8}}, {{4, 8}, {4, 6}}, {{4, 6}, {1, 6}}, {{1, 6}, {1, 8}},
                  {{6, 4}, {8, 4}}, {{8, 4}, {8, 1}}, {{8, 1}, {6, 1}}});
}

TEST_F(Traskel, OnlyTheFirstGroupClosedGivesEightPolylines)
{
    write_text(dir.file("open.txt"), "1 1 4 1\n4 1 4 3\n4 3 1 3\n1 3 1 1\n"
                                     "6 5 8 5\n8 5 8 8\n8 8 6 8\n6 8 6 6\n");
    run({"open.txt", "out", "10", "10"});
    expect_files("out", 3, {0, 0, 10, 10}, 10, 10,
                 {{{1, 8}, {4, 8}}, {{4, 8}, {4, 6}}, {{4, 6}, {1, 6}}, {{1, 6}, {1, 8}},
                  {{6, 4}, {8, 4}}, {{8, 4}, {8, 1}}, {{8, 1}, {6, 1}}, {{6, 1}, {6, 3}}});
}

TEST_F(Traskel, WorldFileGivesMapUnitsButTheIndexBoxStaysInPixels)
{
    // Cells of 2 x 2 map units, outer top-left corner at (1000, 5000).
    write_text(dir.file("squares.txt"), "0 0 4 0\n4 0 4 4\n4 4 0 4\n0 4 0 0\n");
    write_text(dir.file("squares.bpw"), "2\n0\n0\n-2\n1000\n5000\n");
    const RunResult r = run({"squares.txt", "out", "10", "5"});
    EXPECT_EQ(r.out, "\n\nBPW file present\n\nSegment number: 4\n\nEnd");
    // Rows 0 and 4 of a 5-row image become 4 and 0 from the bottom: map y
    // 4998 and 4990.
    expect_files("out", 5, {1000, 4990, 1020, 5000}, 10, 5,
                 {{{1000, 4998}, {1008, 4998}, {1008, 4990}, {1000, 4990}, {1000, 4998}}});
    const Bytes shx = read_bytes(dir.file("out.shx"));
    EXPECT_EQ(le_double(shx, 52), 9.0);
    EXPECT_EQ(le_double(shx, 60), 4.0);

    // A positive cell height gives the same map units; five numbers are no
    // world file.
    write_text(dir.file("squares.bpw"), "2 0 0 2 1000 5000");
    run({"squares.txt", "north", "10", "5"});
    EXPECT_EQ(read_bytes(dir.file("north.shp")), read_bytes(dir.file("out.shp")));
    write_text(dir.file("squares.bpw"), "2 0 0 -2 1000\n");
    EXPECT_EQ(run({"squares.txt", "pixels", "10", "5"}).out, "\n\nBPW file present\n\nSegment number: 4\n\nEnd");
    EXPECT_EQ(le_double(read_bytes(dir.file("pixels.shp")), 52), 10.0);
}

TEST_F(Traskel, WorldFileNameReplacesTheLastThreeCharacters)
{
    write_text(dir.file("s.segments"), "0 0 1 1\n");
    write_text(dir.file("s.segmebpw"), "1 0 0 -1 50 60\n");
    EXPECT_NE(run({"s.segments", "out", "2", "2"}).out.find("BPW file present"), std::string::npos);
    EXPECT_EQ(le_double(read_bytes(dir.file("out.shp")), 36), 50.0);

    // Too short to derive a name: no world file.
    write_text(dir.file("ab"), "0 0 1 1\n");
    EXPECT_EQ(run({"ab", "out", "2", "2"}).out, "\n\nBPW file not present\n\nSegment number: 1\n\nEnd");
}

TEST_F(Traskel, RowsAreFlippedInSinglePrecision)
{
    // 20000000 - 0.3 is 20000000 as a float, and 20000000 - 1 rounds back to
    // 20000000; in double the row would be 19999998.7.
    write_text(dir.file("far.txt"), "0 0.3 1 2.5\n");
    run({"far.txt", "out", "4", "20000000"});
    const Bytes shp = read_bytes(dir.file("out.shp"));
    ASSERT_EQ(shp.size(), 100u + 8u + 80u);
    EXPECT_EQ(le_double(shp, 156), 0.0);
    EXPECT_EQ(le_double(shp, 164), 20000000.0);
    EXPECT_EQ(le_double(shp, 172), 1.0);
    EXPECT_EQ(le_double(shp, 180), 19999996.0);  // 20000000 - 2.5 = 19999997.5 -> 19999998, - 1 -> 19999996
}

TEST_F(Traskel, LineExtractorFilesWithScoresAndCrLf)
{
    write_text(dir.file("segmenti.txt"), "    0     0     2     0 -5.93\r\n    2     0     2     2  1.25\r\n"
                                         "    2     2     0     2 -0.10\r\n    0     2     0     0  0.00\r\n");
    write_text(dir.file("plain.txt"), "0 0 2 0\n2 0 2 2\n2 2 0 2\n0 2 0 0\n");
    EXPECT_EQ(run({"segmenti.txt", "scored", "3", "3"}).out, "\n\nBPW file not present\n\nSegment number: 4\n\nEnd");
    run({"plain.txt", "plain", "3", "3"});
    expect_files("scored", 5, {0, 0, 3, 3}, 3, 3, {{{0, 2}, {2, 2}, {2, 0}, {0, 0}, {0, 2}}});
    for (const char* ext : {".shp", ".shx", ".dbf"})
        EXPECT_EQ(read_bytes(dir.file(std::string("scored") + ext)), read_bytes(dir.file(std::string("plain") + ext)));
}

TEST_F(Traskel, PromptsForItsInputsAndWaitsAtTheEnd)
{
    write_text(dir.file("seg.txt"), "0 0 3 1\n");
    const RunResult r = run({}, "seg.txt more words\nout\n4 junk\n3\nk");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\nInput File=\nOutput file=\nWidth=\nHeight=\n\nBPW file not present\n\nSegment number: 1\n\nEnd");
    expect_files("out", 3, {0, 0, 4, 3}, 4, 3, {{{0, 2}, {3, 1}}});

    // Four arguments are too few: the prompts are asked.
    const RunResult ended = run({"seg.txt", "out", "4"}, "seg.txt\nout\n");
    EXPECT_EQ(ended.status, 2);
    EXPECT_EQ(ended.out.find("Segment number"), std::string::npos);
}

TEST_F(Traskel, WorkingFolderOfSeveralWords)
{
    const std::string folder = dir.file("road survey 2024");
    std::filesystem::create_directory(folder);
    write_text(folder + "/seg.txt", "0 0 1 1\n");
    write_text(folder + "/seg.bpw", "1 0 0 -1 50 60\n");
    const RunResult r = run({"seg.txt", "lines", "2", "2", dir.path() + "/road", "survey", "2024"});
    EXPECT_EQ(r.out, "\n\nBPW file present\n\nSegment number: 1\n\nEnd");
    for (const char* ext : {".shp", ".shx", ".dbf"}) EXPECT_TRUE(file_exists(folder + "/lines" + ext)) << ext;
    EXPECT_EQ(le_double(read_bytes(folder + "/lines.shp"), 36), 50.0);
}

TEST_F(Traskel, MalformedSegmentsFilesWriteNothing)
{
    write_text(dir.file("empty.txt"), "");
    write_text(dir.file("three.txt"), "1 2 3\n");
    write_text(dir.file("six.txt"), "1 2 3 4 5 6\n");
    write_text(dir.file("partial.txt"), "1 2 3 4\n5 6\n");
    for (const char* name : {"empty.txt", "three.txt", "six.txt", "partial.txt"}) {
        const RunResult r = run({name, "out", "7", "3"}, "\n");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "\n\nBPW file not present\n\nInternal error in input file\n\nEnd") << name;
    }
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"empty.txt", "partial.txt", "six.txt", "three.txt"}));

    // A stray word ends the reading: the segments before it are written.
    write_text(dir.file("stray.txt"), "1 2 3 4\n5 6 7 8\nend of list 9 9 9 9\n");
    EXPECT_EQ(run({"stray.txt", "out", "10", "10"}).out, "\n\nBPW file not present\n\nSegment number: 2\n\nEnd");
    expect_files("out", 3, {0, 0, 10, 10}, 10, 10, {{{1, 7}, {3, 5}}, {{5, 3}, {7, 1}}});
}

TEST_F(Traskel, MissingInputWritesNothing)
{
    RunResult r = run({"none.txt", "out", "7", "3"}, "\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\n\nBPW file not present\n\nError in file opening\n\nEnd");
    EXPECT_TRUE(list_files(dir.path()).empty());

    // A folder is no segments file, even where the system opens it.
    std::filesystem::create_directory(dir.file("folder.txt"));
    r = run({"folder.txt", "out", "7", "3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\n\nBPW file not present\n\nError in file opening\n\nEnd");
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"folder.txt"}));
}

TEST_F(Traskel, SizeOfZeroOrLessIsRefused)
{
    write_text(dir.file("seg.txt"), "0 0 3 3\n");
    for (auto [w, h] : std::vector<std::pair<const char*, const char*>>{{"0", "5"}, {"5", "-2"}}) {
        const RunResult r = run({"seg.txt", "out", w, h}, "\n");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out.rfind("\nError: image width and height must be greater than 0", 0), 0u) << r.out;
        EXPECT_EQ(r.out.substr(r.out.size() - 5), "\n\nEnd");
    }
    const RunResult r = run({"seg.txt", "out", "x", "5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nError: 'x' is not a whole number (width)\n");
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"seg.txt"}));
}

TEST_F(Traskel, OutputThatCannotBeCreatedEndsWithoutSuccess)
{
    write_text(dir.file("seg.txt"), "0 0 1 1\n");
    const RunResult r = run({"seg.txt", "no/such/folder/out", "2", "2"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\n\nBPW file not present\n\nSegment number: 1\nError in creating '.shp'\n"
                     "cannot write 'no/such/folder/out.shp': No such file or directory\n");
}

// Safe outputs and honest statuses.

TEST_F(Traskel, WritesItsShapefileWholeOrNotAtAll)
{
    std::string segments;
    for (int i = 0; i < 150; ++i)
        segments += std::to_string(i % 40) + " " + std::to_string(i % 30) + " " + std::to_string(39 - i % 40) + " 7\n";
    write_text(dir.file("seg.txt"), segments);
    write_text(dir.file("seg.bpw"), "2\n0\n0\n-2\n1000\n5000\n");
    write_text(dir.file("out.shx"), "an earlier run");
    EXPECT_GT(expect_whole_outputs_or_none("traskel", {"seg.txt", "out", "40", "30"}, dir.path()), 3);
}

TEST_F(Traskel, NeverWritesOverItsInputs)
{
    for (const char* input : {"out.shp", "out.shx", "out.dbf"}) {
        write_text(dir.file(input), "0 0 1 1\n");
        const RunResult r = run({input, "out", "2", "2"});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "\n\nBPW file not present\n\nError: the output '" + std::string(input) +
                             "' would overwrite the input '" + input + "'; nothing was written\n\n\nEnd");
        EXPECT_EQ(folder_contents(dir.path()), (std::map<std::string, Bytes>{{input, read_bytes(dir.file(input))}}));
        std::filesystem::remove(dir.file(input));
    }
}

TEST_F(Traskel, UnusableWorldFilesAreRefused)
{
    write_text(dir.file("seg.txt"), "0 0 1 1\n");
    for (const char* world : {"nan 0 0 -2 1000 5000", "2 0 0 0 1000 5000", "0 0 0 -2 1000 5000", "2 0 0 -2 inf 5000"}) {
        write_text(dir.file("seg.bpw"), world);
        const RunResult r = run({"seg.txt", "out", "2", "2"});
        EXPECT_EQ(r.status, 1) << world;
        EXPECT_EQ(r.out, "\n\nBPW file present\n\nError: the world file 'seg.bpw' does not hold six finite values "
                         "with cell sizes other than 0\n\n\nEnd");
        EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"seg.bpw", "seg.txt"}));
    }
}

TEST_F(Traskel, HelpAndVersionAskNothing)
{
    RunResult r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("traskel: ", 0), 0u);
    EXPECT_NE(r.out.find("\"Width=\""), std::string::npos);
    r = run({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("traskel ", 0), 0u);
    EXPECT_TRUE(list_files(dir.path()).empty());
}
