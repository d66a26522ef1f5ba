// End-to-end tests of Zonrik: the real program on backgrounds and
// shapefiles written in a temporary folder.
#include "bmp_builder.h"
#include "paths.h"
#include "shapefile_builder.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testsupport;

namespace {

const std::string banner =
    "\n              * * *  Zonrik  * * *\n\n"
    "\n                   * * * WARNING * * *\n"
    "       Shape files should be 'Polygon' typology\n\n"
    "  \n\n"
    "    -------------------------------------------------\n\n";

const std::string start_routine = "\n\n\n   -------   START ROUTINE   -----------  \n\n";

std::string processed(int block) { return "\nProcessing block " + std::to_string(block) + "......   blob in process: ... initializing   ok\n"; }
std::string skipped(int block)
{
    return "\nProcessing block " + std::to_string(block) + "......        skipped: external Shape Bounding Box\n";
}

std::vector<float> raw_floats(const Bytes& bytes)
{
    std::vector<float> values(bytes.size() / 4);
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = le_float(bytes, 4 * i);
    return values;
}

// The 26-character VALUE field of record r of a ".dbf".
std::string dbf_value(const Bytes& dbf, int r)
{
    const std::size_t at = 65 + 27 * static_cast<std::size_t>(r);
    return std::string(dbf.begin() + at + 1, dbf.begin() + at + 27);
}

class Zonrik : public testing::Test {
protected:
    RunResult run(const std::vector<std::string>& args, const std::string& input = "")
    {
        return run_program("zonrik", args, dir.path(), input);
    }

    // A width x height float background whose pixel in column x of file row
    // r (the top row first) holds x + 10 r.
    void ramp_background(const std::string& name, int width, int height)
    {
        std::vector<float> values;
        for (int r = 0; r < height; ++r)
            for (int x = 0; x < width; ++x) values.push_back(static_cast<float>(x + 10 * r));
        write_float_background(dir.file(name + ".raw"), dir.file(name + ".dim"), width, height, values);
    }

    TempDir dir;
};

}  // namespace

TEST_F(Zonrik, MeanRunPrintsItsStepsAndWritesTheThreeOutputs)
{
    ramp_background("bg", 10, 8);
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(2.5, 3.5, 6.5, 7.5)}},
                                                      {{test_rectangle(1, 1, 11, 5)}}}));  // leaves the background
    const RunResult r = run({"a.shp", "bg.raw", "out", "Mean"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner + "\n\nFunction = Mean" + "\nOpening Background image... Ok" +
                         "\n\nSize of background file in bytes: 320\n" + "\nWidth: 10\tHeight: 8" +
                         "\t\t32 bit/pixel raw image" + "\n\nRWW file not present\n" +
                         "\n\n\n   -------  SHAPE FILE BOUNDING BOX  -------" + "\n\nXmin= 1.000000\nYmin= 1.000000" +
                         "\n\nXmax= 11.000000\nYmax= 7.500000" + "\n\n\n   -------   RAW FILE BOUNDING BOX   -------" +
                         "\n\nRAW World files (RWW) not present" + "\n\nXmin= 0.000000\nYmin= 0.000000" +
                         "\n\nXmax= 10.000000\nYmax= 8.000000" +
                         "\n\nWARNING: Shape Bounding Box should be internal to RAW background Bounding Box\n" + start_routine + processed(1) + skipped(2) +
                         "\n\nEnd program\n");

    // The zone is 2 <= x <= 5 by 3 <= y <= 6 counted from the bottom: file
    // rows 1 to 4, whose mean is 3.5 + 10 * 2.5.
    const std::vector<float> out = raw_floats(read_bytes(dir.file("out.raw")));
    ASSERT_EQ(out.size(), 80u);
    for (int r = 0; r < 8; ++r)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(out[10 * r + x], (r >= 1 && r <= 4 && x >= 2 && x <= 5) ? 28.5f : 0.0f) << x << "," << r;
    EXPECT_EQ(read_text(dir.file("out.hdr")),
              "ENVI\ndescription = {out.}\nsamples = 10\nlines = 8\nbands = 1\nheader offset = 0\n"
              "file type = ENVI Standard\ndata type = 4\ninterleave = bsq\nsensor type = Unknown\nbyte order = 0\n");

    // One re-traced polygon, counter-clockwise from its lowest left corner.
    const auto rings = shapefile_rings(read_bytes(dir.file("out.shp")));
    ASSERT_EQ(rings.size(), 1u);
    EXPECT_EQ(rings[0], (std::vector<TestRing>{{{2, 3}, {6, 3}, {6, 7}, {2, 7}, {2, 3}}}));
    const Bytes dbf = read_bytes(dir.file("out.dbf"));
    ASSERT_EQ(dbf.size(), 65u + 27 + 1);
    EXPECT_EQ(dbf_value(dbf, 0), std::string(17, ' ') + "28.500000");
    EXPECT_EQ(read_bytes(dir.file("out.shx")).size(), 108u);
    EXPECT_FALSE(file_exists(dir.file("out.bmp")));
}

TEST_F(Zonrik, FolderWordsAreJoinedAndOnlyTheRawAndReportsGoInto)
{
    const std::string folder = dir.file("My Data");
    std::filesystem::create_directory(folder);
    std::vector<float> values(6 * 4, 293.16f);
    write_float_background(folder + "/b.raw", folder + "/b.dim", 6, 4, values);
    write_text(folder + "/b.rww", "1\n0\n0\n-1\n100\n204\n");
    write_bytes(folder + "/a.shp", polygon_shapefile({{{test_rectangle(101, 201, 103, 203)}}}));
    const RunResult r = run({"a.shp", "b.raw", "out", "sp_temp", "My", "Data"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\n\nRWW file present\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n\nBMP World files (rww) present"), std::string::npos);
    EXPECT_TRUE(file_exists(folder + "/out.raw"));
    EXPECT_TRUE(file_exists(folder + "/out.hdr"));
    EXPECT_EQ(read_text(folder + "/out_temp.txt"),
              "Shape\t\tMin_temp\t\tMax_temp\tMean_temp\tVariance\n\n" + std::string("-") +
                  [] { std::string s; for (int i = 1; i < 68; ++i) s += " -"; return s; }() + "\n" +
                  "\n1\t\t20.00\t\t\t20.00\t\t20.00\t\t0.00\n");
    EXPECT_TRUE(file_exists(dir.file("out.shp")));
    EXPECT_TRUE(file_exists(dir.file("out.dbf")));
    EXPECT_FALSE(file_exists(folder + "/out.shp"));
    // In map units through the world file: the pixels 1..2 by 1..2 from the
    // bottom are the map square 101..103 by 201..203.
    const auto rings = shapefile_rings(read_bytes(dir.file("out.shp")));
    ASSERT_EQ(rings.size(), 1u);
    EXPECT_EQ(rings[0][0][0], std::make_pair(101.0, 201.0));
    EXPECT_EQ(rings[0][0][2], std::make_pair(103.0, 203.0));
}

TEST_F(Zonrik, UnknownFunctionNameIsRefused)
{
    ramp_background("bg", 4, 4);
    write_bytes(dir.file("a.shp"), polygon_shapefile({}));
    for (const std::string name : {"median", "MeAn", "sqrt-variance"}) {
        const RunResult r = run({"a.shp", "bg.raw", "out", name}, "x");
        EXPECT_EQ(r.status, 255);
        EXPECT_EQ(r.out, banner + "\n\nError: Choice typology not correct" +
                             "\n\nAllowed choices: mean / lmean / variance / lvariance / c_cover / sp_temp\n");
    }
    for (const std::string name : {"lmean", "LVARIANCE", "Sqrt_variance", "C_cover"}) {
        const RunResult r = run({"a.shp", "bg.raw", "out", name, "--cover-max", "50", "--cover-min", "10"});
        EXPECT_EQ(r.status, 0) << name;
    }
    EXPECT_FALSE(file_exists(dir.file("out_cover.txt")));  // no zone: no report
}

TEST_F(Zonrik, BitDepthFollowsTheFileSize)
{
    write_bytes(dir.file("a.shp"), polygon_shapefile({}));
    write_text(dir.file("bg.dim"), "100 50");
    const std::pair<int, std::string> sizes[] = {
        {5000, "\t\t8 bit/pixel raw image"}, {10000, "\t\t16 bit/pixel raw image"}, {20000, "\t\t32 bit/pixel raw image"}};
    for (const auto& [size, line] : sizes) {
        write_bytes(dir.file("bg.raw"), Bytes(size, 0));
        const RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.out.find("\n\nSize of background file in bytes: " + std::to_string(size) +
                             "\n\nWidth: 100\tHeight: 50" + line + "\n\nRWW"),
                  std::string::npos)
            << r.out;
    }
    write_bytes(dir.file("bg.raw"), Bytes(15000, 0));
    const RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 255);
    EXPECT_NE(r.out.find("\nWidth: 100\tHeight: 50\nError dimension in background file\n"
                         "\nThe background raw file must be 8 / 16 / 32 bit\n"),
              std::string::npos);

    write_bytes(dir.file("bg.raw"), Bytes(10000, 0));
    std::filesystem::remove(dir.file("out.raw"));
    const RunResult temp = run({"a.shp", "bg.raw", "out", "SP_TEMP"});
    EXPECT_EQ(temp.status, 255);
    EXPECT_NE(temp.out.find("\t\t16 bit/pixel raw image\n\n\nError: The function 'sp_temp' foreseen 32 bit background\n"
                            "\nThe Temperature background raw file must be the 4th Avhrr calibrated band\n"),
              std::string::npos);
    EXPECT_FALSE(file_exists(dir.file("out.raw")));
}

TEST_F(Zonrik, SixteenBitSamplesAreSignedAndTheRawKeepsTheFileRowOrder)
{
    // 3 x 2, top row 0 0 7, bottom row -1 -32768 0.
    write_bytes(dir.file("bg.raw"), Bytes{0, 0, 0, 0, 7, 0, 0xFF, 0xFF, 0x00, 0x80, 0, 0});
    write_text(dir.file("bg.dim"), "3\n2\n");
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(0, 0, 1, 1)}}, {{test_rectangle(1, 0, 2, 1)}}}));
    const RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\t\t16 bit/pixel raw image"), std::string::npos);
    EXPECT_EQ(raw_floats(read_bytes(dir.file("out.raw"))), (std::vector<float>{0, 0, 0, -1, -32768, 0}));
    const Bytes dbf = read_bytes(dir.file("out.dbf"));
    EXPECT_EQ(dbf_value(dbf, 0), std::string(17, ' ') + "-1.000000");
    EXPECT_EQ(dbf_value(dbf, 1), std::string(13, ' ') + "-32768.000000");
}

TEST_F(Zonrik, EightBitSamplesAndPolygonsOnTheBackgroundsEdges)
{
    write_bytes(dir.file("bg.raw"), Bytes{200, 201, 202, 10, 20, 30});  // 3 x 2
    write_text(dir.file("bg.dim"), "3 2");
    // The whole background, its top row and right column included; then a
    // box leaving it by a hair, which is skipped.
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(0, 0, 3, 2)}}, {{test_rectangle(0, 0, 3, 2.001)}}}));
    const RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(processed(1) + skipped(2)), std::string::npos) << r.out;
    EXPECT_EQ(raw_floats(read_bytes(dir.file("out.raw"))), std::vector<float>(6, 110.5f));
    const auto rings = shapefile_rings(read_bytes(dir.file("out.shp")));
    ASSERT_EQ(rings.size(), 1u);
    EXPECT_EQ(rings[0], (std::vector<TestRing>{{{0, 0}, {3, 0}, {3, 2}, {0, 2}, {0, 0}}}));
}

TEST_F(Zonrik, PartialMeasuresPolygonsPartlyOutsideOverTheirPixelsInside)
{
    ramp_background("bg", 10, 8);
    // Reaching out to the left and below; wholly outside; reaching out at
    // the top right.
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(-2, -3, 3, 2)}},
                                                      {{test_rectangle(12, 1, 14, 3)}},
                                                      {{test_rectangle(8, 6, 11, 9)}}}));
    RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(start_routine + skipped(1) + skipped(2) + skipped(3)), std::string::npos) << r.out;

    // The option may stand anywhere among the arguments.
    r = run({"a.shp", "--partial", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(start_routine + processed(1) + skipped(2) + processed(3)), std::string::npos) << r.out;
    // Pixels 0..2 by 0..1 from the bottom (file rows 6 and 7), and 8..9 by
    // 6..7 (file rows 0 and 1).
    const std::vector<float> out = raw_floats(read_bytes(dir.file("out.raw")));
    for (int row = 0; row < 8; ++row)
        for (int x = 0; x < 10; ++x) {
            const float expected = row >= 6 && x <= 2 ? 66.0f : row <= 1 && x >= 8 ? 13.5f : 0.0f;
            EXPECT_EQ(out[10 * row + x], expected) << x << "," << row;
        }
    const auto rings = shapefile_rings(read_bytes(dir.file("out.shp")));
    ASSERT_EQ(rings.size(), 2u);
    EXPECT_EQ(rings[0], (std::vector<TestRing>{{{0, 0}, {3, 0}, {3, 2}, {0, 2}, {0, 0}}}));
    EXPECT_EQ(rings[1], (std::vector<TestRing>{{{8, 6}, {10, 6}, {10, 8}, {8, 8}, {8, 6}}}));

    // A misspelt option is refused before anything is read; the help names
    // the option.
    r = run({"a.shp", "bg.raw", "out", "mean", "--partail"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "zonrik: unknown option '--partail'\nRun 'zonrik --help' for the usage.\n");
    r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\n  --partial           measure a polygon partly outside"), std::string::npos) << r.out;

    // With the names prompted for.
    std::filesystem::remove(dir.file("out.raw"));
    r = run({"--partial"}, "a.shp\nbg.raw\nout\nmean\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(processed(1) + skipped(2) + processed(3)), std::string::npos) << r.out;
    EXPECT_EQ(raw_floats(read_bytes(dir.file("out.raw"))), out);
}

TEST_F(Zonrik, WorldFileOfFiveNumbersIsPresentButUnused)
{
    ramp_background("bg", 10, 8);
    write_text(dir.file("bg.rww"), "2\n0\n0\n-2\n1000\n");
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(1, 1, 3, 3)}}}));
    const RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\n\nRWW file present\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n\nRAW World files (RWW) not present\n\nXmin= 0.000000\nYmin= 0.000000"
                         "\n\nXmax= 10.000000\nYmax= 8.000000"),
              std::string::npos);
    const auto rings = shapefile_rings(read_bytes(dir.file("out.shp")));
    EXPECT_EQ(rings.at(0).at(0).at(0), std::make_pair(1.0, 1.0));  // pixel units
}

TEST_F(Zonrik, RasterExtentFromTheWorldFileAndTheContainmentWarning)
{
    write_float_background(dir.file("bg.raw"), dir.file("bg.dim"), 100, 50, std::vector<float>(5000, 4.0f));
    write_text(dir.file("bg.rww"), "2.0\n0\n0\n-2.0\n1000.0\n5000.0\n");
    // Inside, then reaching west of the background.
    write_bytes(dir.file("a.shp"),
                polygon_shapefile({{{test_rectangle(1010, 4910, 1020, 4920)}}, {{test_rectangle(990, 4910, 1020, 4920)}}}));
    const RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 0);
    // The labelled values are those of the raster extent (world_file.h).
    EXPECT_NE(r.out.find("\n\nBMP World files (rww) present"), std::string::npos);
    EXPECT_NE(r.out.find("\n\nXmin= 1000.000000\nYmin= 4900.000000\n\nXmax= 1200.000000\nYmax= 5000.000000"
                         "\n\nWARNING: Shape Bounding Box should be internal to RAW background Bounding Box\n" +
                         start_routine + processed(1) + skipped(2)),
              std::string::npos)
        << r.out;
    // Map square 1010..1020 by 4910..4920: pixels 5..9 by 5..9 from the
    // bottom, file rows 40..44.
    const std::vector<float> out = raw_floats(read_bytes(dir.file("out.raw")));
    int painted = 0;
    for (int r = 0; r < 50; ++r)
        for (int x = 0; x < 100; ++x)
            if (out[100 * r + x] == 4.0f) {
                ++painted;
                EXPECT_TRUE(x >= 5 && x <= 9 && r >= 40 && r <= 44) << x << "," << r;
            }
    EXPECT_EQ(painted, 25);
    const Bytes shp = read_bytes(dir.file("out.shp"));
    EXPECT_EQ(le_double(shp, 36), 1000.0);
    EXPECT_EQ(le_double(shp, 44), 4900.0);
    EXPECT_EQ(shapefile_rings(shp).at(0).at(0).at(0), std::make_pair(1010.0, 4910.0));
}

TEST_F(Zonrik, RecordNumbersMustFollowOneAnother)
{
    ramp_background("bg", 10, 8);
    TestRecord fourth({test_rectangle(1, 1, 3, 3)});
    fourth.number = 4;
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(1, 1, 3, 3)}}, {{test_rectangle(2, 2, 4, 4)}}, fourth}));
    const RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(start_routine + processed(1) + processed(2) + "\n\nError in Block indexes in Shape file"),
              std::string::npos);
    EXPECT_EQ(r.out.find("End program"), std::string::npos);
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"a.shp", "bg.dim", "bg.raw"}));
}

TEST_F(Zonrik, EmptyShapefileWritesEmptyOutputs)
{
    ramp_background("bg", 6, 5);
    write_bytes(dir.file("a.shp"), polygon_shapefile({}));
    const RunResult r = run({"a.shp", "bg.raw", "out", "c_cover", "--cover-max=50", "--cover-min=10"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(start_routine + "\n\nEnd program\n"), std::string::npos);
    EXPECT_EQ(read_bytes(dir.file("out.shp")).size(), 100u);
    EXPECT_EQ(read_bytes(dir.file("out.dbf")).size(), 66u);
    EXPECT_EQ(raw_floats(read_bytes(dir.file("out.raw"))), std::vector<float>(30, 0.0f));
    // No zone asked for the thresholds or opened the report; the cover
    // picture is written all white.
    EXPECT_FALSE(file_exists(dir.file("out_cover.txt")));
    EXPECT_EQ(bmp_pixels(read_bytes(dir.file("out.bmp"))), std::vector<std::uint8_t>(30, 255));
}

TEST_F(Zonrik, CoverReportPictureAndValue)
{
    // 4 x 3, bottom row 60 30 5 0.
    write_float_background(dir.file("bg.raw"), dir.file("bg.dim"), 4, 3,
                           {0, 0, 0, 0, 0, 0, 0, 0, 60, 30, 5, 0});
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(0, 0, 3, 1)}}, {{test_rectangle(0, 0, 1, 1)}}}));
    const RunResult r = run({"--cover-max", "50", "a.shp", "bg.raw", "out", "c_cover", "--cover-min", "10"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(processed(1) + processed(2)), std::string::npos) << r.out;
    EXPECT_EQ(read_text(dir.file("out_cover.txt")),
              "Shape\t\tPixel_class\tPixel_tot\t\tPerc(%)\n"
              "\n- - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
              "\n1\t\t1.6\t\t3\t\t53.33\n"
              "\n2\t\t1.0\t\t1\t\t100.00\n");
    // Picture rows from the top: untouched rows 255; the second zone
    // repainted pixel 0 (covered: 16).
    EXPECT_EQ(bmp_pixels(read_bytes(dir.file("out.bmp"))),
              (std::vector<std::uint8_t>{255, 255, 255, 255, 255, 255, 255, 255, 16, 111, 0, 255}));
    const Bytes bmp = read_bytes(dir.file("out.bmp"));
    EXPECT_EQ(bmp[54 + 4 * 16], 255);  // entry 16 pure blue
    EXPECT_EQ(bmp[54 + 4 * 16 + 2], 0);
    const Bytes dbf = read_bytes(dir.file("out.dbf"));
    EXPECT_EQ(dbf_value(dbf, 0), std::string(17, ' ') + "53.333332");
    EXPECT_EQ(dbf_value(dbf, 1), std::string(16, ' ') + "100.000000");
    EXPECT_EQ(raw_floats(read_bytes(dir.file("out.raw")))[8], 100.0f);
}

TEST_F(Zonrik, UncoveredPixelsCycleThroughTheGreys)
{
    std::vector<float> values(20 * 3, 0.0f);
    write_float_background(dir.file("bg.raw"), dir.file("bg.dim"), 20, 3, values);
    std::vector<TestRecord> records;
    for (int i = 0; i < 18; ++i) records.push_back({{test_rectangle(i, 0, i + 1, 1)}});
    write_bytes(dir.file("a.shp"), polygon_shapefile(records));
    ASSERT_EQ(run({"a.shp", "bg.raw", "out", "c_cover", "--cover-max", "50", "--cover-min", "10"}).status, 0);
    const std::vector<std::uint8_t> pixels = bmp_pixels(read_bytes(dir.file("out.bmp")));
    for (int i = 0; i < 18; ++i) EXPECT_EQ(pixels[40 + i], i % 16);
    EXPECT_EQ(pixels[58], 255);
}

TEST_F(Zonrik, TemperatureReportSkipsDoNotAdvanceTheNumbering)
{
    write_float_background(dir.file("bg.raw"), dir.file("bg.dim"), 4, 3,
                           {0, 0, 0, 0, 0, 0, 0, 0, 283.16f, 293.16f, 0, 0});
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(0, 0, 2, 1)}},
                                                      {{test_rectangle(0, 0, 9, 1)}},
                                                      {{test_rectangle(2.2, 0, 2.8, 1)}}}));
    const RunResult r = run({"a.shp", "bg.raw", "out", "sp_temp"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(processed(1) + skipped(2) + processed(3)), std::string::npos);
    const std::string report = read_text(dir.file("out_temp.txt"));
    const std::string lines = report.substr(report.rfind("-\n") + 2);
    EXPECT_EQ(lines, "\n1\t\t10.00\t\t\t20.00\t\t15.00\t\t25.00\n"
                     "\n2\t\t1000.00\t\t\t-1000.00\t\tnan\t\tnan\n");
    const Bytes dbf = read_bytes(dir.file("out.dbf"));
    EXPECT_EQ(le32(dbf, 4), 2u);
    EXPECT_EQ(dbf_value(dbf, 0), std::string(17, ' ') + "15.000004");
    EXPECT_EQ(dbf_value(dbf, 1), std::string(26, ' '));  // NaN: an empty field
}

TEST_F(Zonrik, OverlappingZonesKeepTheLaterValueInTheRaw)
{
    write_float_background(dir.file("bg.raw"), dir.file("bg.dim"), 6, 2,
                           {0, 0, 0, 0, 0, 0, 12.5f, 12.5f, -3.25f, -3.25f, -3.25f, 0});
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(0, 0, 2, 1)}}, {{test_rectangle(1, 0, 5, 1)}}}));
    ASSERT_EQ(run({"a.shp", "bg.raw", "out", "MEAN"}).status, 0);
    const std::vector<float> out = raw_floats(read_bytes(dir.file("out.raw")));
    const float second = (12.5f - 3 * 3.25f) / 4;
    EXPECT_EQ(out, (std::vector<float>{0, 0, 0, 0, 0, 0, 12.5f, second, second, second, second, 0}));
    const Bytes dbf = read_bytes(dir.file("out.dbf"));
    EXPECT_EQ(dbf_value(dbf, 0), std::string(17, ' ') + "12.500000");
    EXPECT_EQ(dbf_value(dbf, 1), std::string(18, ' ') + "0.687500");
    EXPECT_EQ(shapefile_rings(read_bytes(dir.file("out.shp"))).size(), 2u);

    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(2, 0, 5, 1)}}}));
    ASSERT_EQ(run({"a.shp", "bg.raw", "out", "mean"}).status, 0);
    EXPECT_EQ(dbf_value(read_bytes(dir.file("out.dbf")), 0), std::string(17, ' ') + "-3.250000");
}

TEST_F(Zonrik, RingsCountByParityWhateverTheirOrder)
{
    write_float_background(dir.file("bg.raw"), dir.file("bg.dim"), 9, 9, std::vector<float>(81, 1.0f));
    write_bytes(dir.file("a.shp"),
                polygon_shapefile({{{test_rectangle(1, 1, 7, 7), test_rectangle(3, 3, 5, 5)}},
                                   {{test_rectangle(3, 3, 5, 5), test_rectangle(1, 1, 7, 7)}}}));
    ASSERT_EQ(run({"a.shp", "bg.raw", "out", "mean"}).status, 0);
    const std::vector<float> out = raw_floats(read_bytes(dir.file("out.raw")));
    EXPECT_EQ(std::count(out.begin(), out.end(), 1.0f), 32);
    const auto rings = shapefile_rings(read_bytes(dir.file("out.shp")));
    ASSERT_EQ(rings.size(), 2u);
    ASSERT_EQ(rings[0].size(), 2u);  // outer ring and hole
    EXPECT_EQ(rings[0][1], (TestRing{{3, 3}, {3, 5}, {5, 5}, {5, 3}, {3, 3}}));
    EXPECT_EQ(rings[1], rings[0]);  // the hole first gives the same zone
    EXPECT_EQ(dbf_value(read_bytes(dir.file("out.dbf")), 1), std::string(18, ' ') + "1.000000");
}

TEST_F(Zonrik, ShapefileHeaderChecks)
{
    ramp_background("bg", 6, 5);
    const Bytes good = polygon_shapefile({{{test_rectangle(1, 1, 2, 2)}}});
    struct Case {
        std::size_t offset;
        unsigned char value;
        std::string message;
    };
    const Case cases[] = {{3, 0x0B, "\nError: input file is not a  Shape file\n"},
                          {28, 0xE9, "\nError in Shape file version\n"},
                          {32, 3, "\nError in Shape type - must be 'Polygon'"}};
    for (const Case& c : cases) {
        Bytes shp = good;
        shp[c.offset] = c.value;
        write_bytes(dir.file("a.shp"), shp);
        const RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out.substr(r.out.size() - c.message.size()), c.message);
        EXPECT_EQ(r.out.find("BOUNDING BOX"), std::string::npos);
        EXPECT_FALSE(file_exists(dir.file("out.raw")));
    }
    write_bytes(dir.file("a.shp"), Bytes(good.begin(), good.begin() + 60));
    const RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\nError: the Shape file ends inside its 100-byte header\n"), std::string::npos);
    write_bytes(dir.file("a.shp"), Bytes{0, 0});
    EXPECT_NE(run({"a.shp", "bg.raw", "out", "mean"}).out.find("\nError: input file is not a  Shape file\n"),
              std::string::npos);
}

TEST_F(Zonrik, RecordShapeTypeMustBePolygon)
{
    ramp_background("bg", 6, 5);
    TestRecord line({test_rectangle(1, 1, 2, 2)});
    line.shape_type = 3;
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(1, 1, 3, 3)}}, line}));
    const RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(processed(1) + "\nProcessing block 2......   \n\nError in Shape type - all blocks must be 'Polygon'"),
              std::string::npos);
    EXPECT_FALSE(file_exists(dir.file("out.shp")));
}

TEST_F(Zonrik, HostileCountsAndShortFilesAreRefused)
{
    ramp_background("bg", 6, 5);
    auto refused = [&](const Bytes& shp, const std::string& message) {
        write_bytes(dir.file("a.shp"), shp);
        const RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find(message), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("End program"), std::string::npos);
        EXPECT_FALSE(file_exists(dir.file("out.raw")));
    };
    const std::string counts = "\n\nError: block 1 of the Shape file has more parts or points than it holds\n";
    TestRecord record({test_rectangle(1, 1, 3, 3)});
    record.numpoints = 1000000000;
    refused(polygon_shapefile({record}), counts);
    record.numpoints = -5;
    refused(polygon_shapefile({record}), counts);
    record.numpoints.reset();
    record.numparts = 0x7FFFFFFF;
    refused(polygon_shapefile({record}), counts);
    record.numparts = 2;  // one more part than the content holds
    refused(polygon_shapefile({record}), counts);

    TestRecord late({test_rectangle(1, 1, 3, 3), test_rectangle(1, 1, 2, 2)});
    Bytes shp = polygon_shapefile({late});
    shp[100 + 8 + 48] = 11;  // second part starts at 11 of 10 points
    refused(shp, "\n\nError: block 1 of the Shape file has a part starting outside its points\n");

    const Bytes whole = polygon_shapefile({{{test_rectangle(1, 1, 3, 3)}}});
    refused(Bytes(whole.begin(), whole.end() - 9), "\n\nError: the Shape file ends inside block 1\n");
    refused(Bytes(whole.begin(), whole.begin() + 102), "\n\nError: the Shape file ends inside block 1\n");
}

TEST_F(Zonrik, RecordsWithoutPartsOrPointsGiveEmptyZones)
{
    ramp_background("bg", 6, 5);
    TestRecord empty;
    empty.box = std::array<double, 4>{1, 1, 3, 3};
    TestRecord lone({{{2, 2}}});
    write_bytes(dir.file("a.shp"), polygon_shapefile({empty, lone}, std::array<double, 4>{0, 0, 5, 4}));
    const RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(processed(1) + processed(2)), std::string::npos);
    const Bytes shp = read_bytes(dir.file("out.shp"));
    ASSERT_EQ(shp.size(), 100u + 2 * 52);
    EXPECT_EQ(le32(shp, 100 + 8 + 36), 0u);
    EXPECT_EQ(le32(shp, 100 + 8 + 40), 0u);
}

TEST_F(Zonrik, DimensionFileChecks)
{
    write_bytes(dir.file("a.shp"), polygon_shapefile({}));
    write_bytes(dir.file("bg.raw"), Bytes(24, 0));
    const std::string missing = "\nOpening Background image... Ok\nError in opening '.dim' file\n";
    RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out.substr(r.out.size() - missing.size()), missing);

    for (const std::string text : {"6", "6 x 4", "-2 -3", "abc"}) {
        write_text(dir.file("bg.dim"), text);
        r = run({"a.shp", "bg.raw", "out", "mean"});
        EXPECT_EQ(r.status, 255) << text;
        EXPECT_NE(r.out.find("\nError: 'bg.dim' does not hold a width and a height of zero or more\n"),
                  std::string::npos);
    }
    write_text(dir.file("bg.dim"), "5\n4\n");  // 24 bytes is no depth of 5 x 4
    r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 255);
    EXPECT_NE(r.out.find("\nError dimension in background file\n"), std::string::npos);

    // A background name shorter than three characters has no ".dim" name.
    write_bytes(dir.file("b"), Bytes(24, 0));
    r = run({"a.shp", "b", "out", "mean"});
    EXPECT_EQ(r.status, 255);
    EXPECT_NE(r.out.find("\nError in opening '.dim' file\n"), std::string::npos);
}

TEST_F(Zonrik, BackgroundWithoutColumnsSkipsEveryRecordWhateverItsRows)
{
    // Width 0 and the largest height: no pixels, and no row is walked.
    write_bytes(dir.file("a.shp"), polygon_shapefile({TestRecord({test_rectangle(0, 0, 1, 1)})}));
    write_bytes(dir.file("bg.raw"), Bytes());
    write_text(dir.file("bg.dim"), "0 2147483647\n");
    const RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(start_routine + skipped(1) + "\n\nEnd program\n"), std::string::npos);
    EXPECT_EQ(read_bytes(dir.file("out.shp")).size(), 100u);
    EXPECT_TRUE(read_bytes(dir.file("out.raw")).empty());
}

TEST_F(Zonrik, MissingInputsEndWithMinusOne)
{
    ramp_background("bg", 6, 5);
    RunResult r = run({"none.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, banner + "\n\nFunction = Mean" + "\nError in input SHP file opening");
    write_bytes(dir.file("a.shp"), polygon_shapefile({}));
    r = run({"a.shp", "none.raw", "out", "mean"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, banner + "\n\nFunction = Mean" + "\nOpening Background image..." +
                         "\nError in  opening Background file");
}

TEST_F(Zonrik, PromptedNamesAndTheFinalWait)
{
    ramp_background("bg", 6, 5);
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(1, 1, 3, 3)}}}));
    const RunResult r = run({}, "a.shp\nbg.raw extra words\nout\nlvariance\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind(banner + "\nShape file =\nFile back_ground =\nFile output (without extension)="
                                   "\nFunction (mean - lmean - variance - lvariance - sqrt_variance - c_cover - sp_temp)="
                                   "\n\nFunction = Log Variance",
                          0),
              0u);
    EXPECT_TRUE(file_exists(dir.file("out.raw")));

    const RunResult ended = run({"a.shp"}, "a.shp\nbg.raw\n");
    EXPECT_EQ(ended.status, 2);
    EXPECT_NE(ended.out.find("\nError: standard input ended before all answers were given\n"), std::string::npos);

    // At the prompts the cover thresholds are asked for at the first zone,
    // after the report has been started; input that ends there leaves
    // nothing.
    std::filesystem::remove(dir.file("out.raw"));
    const auto before = folder_contents(dir.path());
    const std::string names = "a.shp\nbg.raw\nout\nc_cover\n";
    RunResult cover = run({}, names + "50\n");
    EXPECT_EQ(cover.status, 2);
    EXPECT_NE(cover.out.find("\nProcessing block 1......   \nThreshold albedo max (0 - 100)=\nThreshold albedo min (0 - 100)="
                             "\nError: standard input ended"),
              std::string::npos)
        << cover.out;
    EXPECT_EQ(folder_contents(dir.path()), before);
    cover = run({}, names + "5O\n50\n10\n\n");  // a letter O: asked again
    EXPECT_EQ(cover.status, 0);
    EXPECT_NE(cover.out.find("\nThreshold albedo max (0 - 100)=\n'5O' is not a number\n\nThreshold albedo max (0 - 100)="
                             "\nThreshold albedo min (0 - 100)=blob in process"),
              std::string::npos)
        << cover.out;
    EXPECT_NE(read_text(dir.file("out_cover.txt")).find("\n1\t\t"), std::string::npos);
    // Thresholds given as options are not asked for.
    cover = run({"--cover-max", "50", "--cover-min", "10"}, names + "\n");
    EXPECT_EQ(cover.status, 0);
    EXPECT_EQ(cover.out.find("Threshold"), std::string::npos);
}

TEST_F(Zonrik, OutputsThatCannotBeWritten)
{
    ramp_background("bg", 20, 20);  // a raster of 1600 bytes
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(1, 1, 3, 3)}}}));
    const auto before = folder_contents(dir.path());

    // The writer's message, then the file and the reason; nothing is left.
    RunResult r = run_program_with_file_limit("zonrik", {"a.shp", "bg.raw", "out", "mean"}, dir.path(), 0);
    EXPECT_EQ(r.status, 1);
    std::string ending = processed(1) + "\nError in creating '.shp'\ncannot write 'out.shp': File too large\n";
    EXPECT_EQ(r.out.substr(r.out.size() - std::min(r.out.size(), ending.size())), ending);
    EXPECT_EQ(folder_contents(dir.path()), before);
    r = run_program_with_file_limit("zonrik", {"a.shp", "bg.raw", "out", "mean"}, dir.path(), 1);
    EXPECT_EQ(r.status, 1);
    ending = "\nError in writing Raw image\ncannot write 'out.raw': File too large\n\nError in creating output image";
    EXPECT_EQ(r.out.substr(r.out.size() - std::min(r.out.size(), ending.size())), ending);
    EXPECT_EQ(folder_contents(dir.path()), before);

    // Outputs that are folders are refused before anything is read.
    for (const char* output : {"out.shp", "out.dbf", "out.raw", "out.hdr", "out.bmp", "out_cover.txt"}) {
        std::filesystem::create_directory(dir.file(output));
        r = run({"a.shp", "bg.raw", "out", "c_cover", "--cover-max", "50", "--cover-min", "10"});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find(std::string("\nError: the output '") + output + "' is a folder; nothing was written\n"),
                  std::string::npos)
            << r.out;
        EXPECT_EQ(r.out.find("START ROUTINE"), std::string::npos);
        std::filesystem::remove(dir.file(output));
    }
    EXPECT_EQ(folder_contents(dir.path()), before);
}

// Nothing lost: every output is written whole or not at all, wherever the
// writing fails.
TEST_F(Zonrik, WritesAllOfItsFilesOrNone)
{
    // The shapefile (17 blocks) fails first, then the raster (24 blocks), the
    // picture and the world file and CRS that place them.
    std::vector<float> values;
    for (int i = 0; i < 60 * 50; ++i) values.push_back(static_cast<float>(i % 97));
    write_float_background(dir.file("bg.raw"), dir.file("bg.dim"), 60, 50, values);
    write_text(dir.file("bg.rww"), "2\n0\n0\n-2\n1000\n5000\n");
    write_text(dir.file("bg.prj"), "GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\",SPHEROID[\"WGS_1984\",6378137.0,"
                                   "298.257223563]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]]");
    std::vector<TestRecord> records;
    for (int i = 0; i < 60; ++i) {
        const double x = 1000 + 2 * (i % 19), y = 4942 + 2 * (i % 7);
        records.push_back({{test_rectangle(x, y, x + 2 * (1 + i % 3), y + 2 * (1 + i % 4))}});
    }
    write_bytes(dir.file("zones.shp"), polygon_shapefile(records));
    write_text(dir.file("out.raw"), "an earlier run");
    EXPECT_GT(expect_whole_outputs_or_none("zonrik", {"zones.shp", "bg.raw", "out", "c_cover", "--cover-max", "60",
                                                      "--cover-min", "20"},
                                           dir.path()),
              20);
    // A shapefile cut inside a record: its message, and no output at all.
    Bytes cut = read_bytes(dir.file("zones.shp"));
    cut.resize(cut.size() - 30);
    write_bytes(dir.file("zones.shp"), cut);
    const auto before = folder_contents(dir.path());
    const RunResult r = run({"zones.shp", "bg.raw", "out", "sp_temp"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\n\nError: the Shape file ends inside block 60\n"), std::string::npos);
    EXPECT_EQ(folder_contents(dir.path()), before);
}

// No output may overwrite an input, or a file that belongs to one.
TEST_F(Zonrik, NeverWritesOverItsInputs)
{
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(1, 1, 3, 3)}}}));
    const Bytes floats(4 * 6 * 5, 0);
    struct Case {
        std::string background;     // a 6 x 5 float background, with its ".dim"
        std::vector<std::string> arguments;
        std::string output, input;  // the output refused and the input it would overwrite
    };
    const Case cases[] = {
        {"temperature.raw", {"a.shp", "temperature.raw", "temperature", "mean"}, "temperature.raw", "temperature.raw"},
        {"bg.raw", {"a.shp", "bg.raw", "a", "mean"}, "a.shp", "a.shp"},
        {"out.dat", {"a.shp", "out.dat", "out", "mean"}, "out.hdr", "out.hdr"},  // the header beside the background
        {"out.bmp", {"a.shp", "out.bmp", "out", "c_cover", "--cover-max=5", "--cover-min=1"}, "out.bmp", "out.bmp"},
        {"out_temp.txt", {"a.shp", "out_temp.txt", "out", "sp_temp"}, "out_temp.txt", "out_temp.txt"},
    };
    for (const Case& c : cases) {
        write_bytes(dir.file(c.background), floats);
        write_text(dir.file(*replace_last_chars(c.background, 3, "dim")), "6 5\n");
        if (c.output == "out.hdr") write_text(dir.file("out.hdr"), "ENVI\n");
        const auto before = folder_contents(dir.path());
        const RunResult r = run(c.arguments);
        EXPECT_EQ(r.status, 1) << c.output;
        EXPECT_NE(r.out.find("\nError: the output '" + c.output + "' would overwrite the input '" + c.input +
                             "'; nothing was written\n"),
                  std::string::npos)
            << r.out;
        EXPECT_EQ(folder_contents(dir.path()), before);
        std::filesystem::remove(dir.file("out.hdr"));
    }
}

TEST_F(Zonrik, OutputNamesAndThresholdsThatCannotBeUsed)
{
    ramp_background("bg", 6, 5);
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(1, 1, 3, 3)}}}));
    const auto before = folder_contents(dir.path());
    for (const std::string name : {"o}ut", "o{ut", "two\nlines"}) {
        const RunResult r = run({"a.shp", "bg.raw", name, "mean"});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find("\n\nFunction = Mean\nError: the output name '" + name +
                             "' holds a control character, '{' or '}', which its ENVI header cannot hold\n"),
                  std::string::npos)
            << r.out;
    }
    // With arguments the cover thresholds come as options, wholly numbers.
    RunResult r = run({"a.shp", "bg.raw", "out", "c_cover", "--cover-max", "50"}, "10\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner + "\n\nFunction = Collect Cover\nError: with arguments the function c_cover takes its "
                              "albedo thresholds as options: --cover-max N --cover-min N\n");
    r = run({"a.shp", "bg.raw", "out", "c_cover", "--cover-max", "50", "--cover-min", "1O"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nError: '1O' is not a number (--cover-min)\n");
    // A world file that cannot place the background.
    write_text(dir.file("bg.rww"), "2 0 0 0 1000 5000\n");
    r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\nError: the world file 'bg.rww' does not hold six finite values with cell sizes other than 0\n"),
              std::string::npos);
    std::filesystem::remove(dir.file("bg.rww"));
    EXPECT_EQ(folder_contents(dir.path()), before);

    // A full command line never reads standard input (here empty).
    r = run({"a.shp", "bg.raw", "out", "c_cover", "--cover-max", "50", "--cover-min", "10"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.find("Threshold"), std::string::npos);
}

TEST_F(Zonrik, HelpAndVersionNeverPrompt)
{
    for (const char* option : {"--help", "-h"}) {
        const RunResult r = run({option});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.rfind("zonrik: ", 0), 0u) << r.out;
        EXPECT_NE(r.out.find("zonrik <polygons.shp> <background> <output> <function> [working folder]"),
                  std::string::npos);
        EXPECT_NE(r.out.find("--cover-max N"), std::string::npos);
        EXPECT_NE(r.out.find("Exit status: 0 done; 255"), std::string::npos);
    }
    const RunResult r = run({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("zonrik ", 0), 0u);
    EXPECT_EQ(r.out.find("Shape file ="), std::string::npos);
    EXPECT_TRUE(list_files(dir.path()).empty());
}

// An interrupted run leaves nothing behind: SIGTERM while the cover
// thresholds are asked for, when the report's temporary exists already.
TEST_F(Zonrik, InterruptedAtTheThresholdPromptLeavesTheFolderAsItWas)
{
    ramp_background("bg", 6, 5);
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(1, 1, 3, 3)}}}));
    const auto before = folder_contents(dir.path());
    TempDir io;
    const std::string program = program_path("zonrik"), console = io.file("console.txt");
    int input[2];
    ASSERT_EQ(pipe(input), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int out = open(console.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || dup2(input[0], 0) < 0 || dup2(out, 1) < 0 || dup2(out, 2) < 0 || chdir(dir.path().c_str()) != 0)
            _exit(127);
        close(input[1]);
        execl(program.c_str(), "zonrik", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(input[0]);
    const std::string names = "a.shp\nbg.raw\nout\nc_cover\n";
    EXPECT_EQ(write(input[1], names.data(), names.size()), static_cast<ssize_t>(names.size()));

    bool asked = false;
    for (int wait = 0; wait < 3000 && !asked; ++wait) {
        asked = read_text(console).find("Threshold albedo max (0 - 100)=") != std::string::npos;
        if (!asked) usleep(10000);
    }
    bool started = false;
    for (const auto& file : folder_contents(dir.path())) started |= file.first.rfind("out_cover.txt.part-", 0) == 0;
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    close(input[1]);
    EXPECT_TRUE(asked) << read_text(console);
    EXPECT_TRUE(started);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_EQ(folder_contents(dir.path()), before);
}

// A placed background places the outputs: the files of an unplaced run,
// byte for byte, plus a standard world file and the CRS, and the ENVI
// header's map info; --gis adds the input record number beside VALUE.
TEST_F(Zonrik, PlacedRunAddsOnlyItsSidecarsAndTheGisLayoutNamesTheRecords)
{
    const std::string utm32 =
        "PROJCS[\"WGS_1984_UTM_Zone_32N\",GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\",SPHEROID[\"WGS_1984\","
        "6378137.0,298.257223563]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]],PROJECTION["
        "\"Transverse_Mercator\"],PARAMETER[\"False_Easting\",500000.0],PARAMETER[\"False_Northing\",0.0],"
        "PARAMETER[\"Central_Meridian\",9.0],PARAMETER[\"Scale_Factor\",0.9996],PARAMETER[\"Latitude_Of_Origin\","
        "0.0],UNIT[\"Meter\",1.0]]";
    // Records 1 and 3 lie on the 10 x 8 background (x 1000..1020, y
    // 4984..5000); record 2 leaves it.
    const Bytes zones = polygon_shapefile({{{test_rectangle(1002, 4990, 1008, 4996)}},
                                           {{test_rectangle(990, 4990, 1004, 4996)}},
                                           {{test_rectangle(1010, 4984, 1020, 5000)}}});
    const std::string unplaced_outputs[] = {"out.dbf", "out.hdr", "out.raw", "out.shp", "out.shx"};
    auto run_in = [&](const std::string& folder, bool world, bool crs, std::vector<std::string> options) {
        std::filesystem::create_directory(dir.file(folder));
        std::vector<float> values;
        for (int i = 0; i < 80; ++i) values.push_back(static_cast<float>(i));
        write_float_background(dir.file(folder + "/bg.raw"), dir.file(folder + "/bg.dim"), 10, 8, values);
        if (world) write_text(dir.file(folder + "/bg.rww"), "2\n0\n0\n-2\n1000\n5000\n");
        if (crs) write_text(dir.file(folder + "/bg.prj"), utm32);
        write_bytes(dir.file(folder + "/zones.shp"), zones);
        for (const char* word : {"zones.shp", "bg.raw", "out", "mean"}) options.push_back(word);
        const RunResult r = run_program("zonrik", options, dir.file(folder));
        EXPECT_EQ(r.status, 0) << folder << r.out;
        return folder_contents(dir.file(folder));
    };
    const auto pixels = run_in("pixels", false, false, {});
    const auto placed = run_in("placed", true, false, {});
    const auto with_crs = run_in("crs", true, true, {});
    const auto gis = run_in("gis", true, true, {"--gis"});

    EXPECT_EQ(pixels.size(), 3u + 5u);  // bg.raw, bg.dim, zones.shp and the unplaced run's outputs
    EXPECT_EQ(placed.size(), 4u + 5u + 1u);
    EXPECT_EQ(with_crs.size(), 5u + 5u + 2u);
    for (const std::string& name : unplaced_outputs) {
        if (name != "out.hdr") {
            EXPECT_EQ(placed.at(name), with_crs.at(name)) << name;
        }
    }
    const std::string header(placed.at("out.hdr").begin(), placed.at("out.hdr").end());
    EXPECT_EQ(header, std::string(pixels.at("out.hdr").begin(), pixels.at("out.hdr").end()) +
                          "map info = {Arbitrary, 1, 1, 1000, 5000, 2, 2}\n");
    const Bytes wld = placed.at("out.wld");
    EXPECT_EQ(std::string(wld.begin(), wld.end()), "2\n0\n0\n-2\n1001\n4999\n");  // centre of the top-left pixel
    const std::string crs_header(with_crs.at("out.hdr").begin(), with_crs.at("out.hdr").end());
    EXPECT_NE(crs_header.find("map info = {UTM, 1, 1, 1000, 5000, 2, 2, 32, North"), std::string::npos) << crs_header;
    EXPECT_NE(crs_header.find("\ncoordinate system string = {PROJCS["), std::string::npos);
    EXPECT_EQ(std::string(with_crs.at("out.prj").begin(), with_crs.at("out.prj").begin() + 7), "PROJCS[");

    // The GIS layout: VALUE, then RECORD, the input record numbers 1 and 3.
    const Bytes dbf = gis.at("out.dbf");
    ASSERT_EQ(dbf.size(), 97u + 2 * 37 + 1);
    EXPECT_EQ(std::string(dbf.begin() + 64, dbf.begin() + 70), std::string("RECORD", 6));
    EXPECT_EQ(std::string(dbf.begin() + 97 + 27, dbf.begin() + 97 + 37), std::string(9, ' ') + "1");
    EXPECT_EQ(std::string(dbf.begin() + 97 + 37 + 27, dbf.begin() + 97 + 74), std::string(9, ' ') + "3");
    EXPECT_EQ(std::string(dbf.begin() + 97 + 1, dbf.begin() + 97 + 27),
              std::string(with_crs.at("out.dbf").begin() + 66, with_crs.at("out.dbf").begin() + 92));
    // ESRI order turns the outer rings round; the header box is the zones'.
    const auto default_rings = shapefile_rings(with_crs.at("out.shp"));
    const auto gis_rings = shapefile_rings(gis.at("out.shp"));
    ASSERT_EQ(gis_rings.size(), 2u);
    EXPECT_EQ(gis_rings[0][0], TestRing(default_rings[0][0].rbegin(), default_rings[0][0].rend()));
    EXPECT_EQ(le_double(gis.at("out.shx"), 36), 1002.0);
    EXPECT_EQ(le_double(gis.at("out.shx"), 52), 1020.0);
}
