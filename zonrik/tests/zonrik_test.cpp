// End-to-end tests of Zonrik: the real program on backgrounds and
// shapefiles written in a temporary folder.
#include "bmp_builder.h"
#include "shapefile_builder.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

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
        const RunResult r = run({"a.shp", "bg.raw", "out", name}, "50\n10\n");
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
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(start_routine + processed(1) + processed(2) + "\n\nError in Block indexes in Shape file"),
              std::string::npos);
    EXPECT_EQ(r.out.find("End program"), std::string::npos);
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"a.shp", "bg.dim", "bg.raw"}));
}

TEST_F(Zonrik, EmptyShapefileWritesEmptyOutputs)
{
    ramp_background("bg", 6, 5);
    write_bytes(dir.file("a.shp"), polygon_shapefile({}));
    const RunResult r = run({"a.shp", "bg.raw", "out", "c_cover"});
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
    const RunResult r = run({"a.shp", "bg.raw", "out", "c_cover"}, "50\n10\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\nProcessing block 1......   \nThreshold albedo max (0 - 100)=\nThreshold albedo min (0 - 100)="
                         "blob in process: ... initializing   ok\n"),
              std::string::npos)
        << r.out;
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
    ASSERT_EQ(run({"a.shp", "bg.raw", "out", "c_cover"}, "50\n10\n").status, 0);
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
                     "\n2\t\t1000.00\t\t\t-1000.00\t\t-nan\t\t-nan\n");
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
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.substr(r.out.size() - c.message.size()), c.message);
        EXPECT_EQ(r.out.find("BOUNDING BOX"), std::string::npos);
        EXPECT_FALSE(file_exists(dir.file("out.raw")));
    }
    write_bytes(dir.file("a.shp"), Bytes(good.begin(), good.begin() + 60));
    const RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 0);
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
    EXPECT_EQ(r.status, 0);
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
        EXPECT_EQ(r.status, 0);
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

    // The cover thresholds are asked on standard input even when the names
    // came from the command line.
    const RunResult cover = run({"a.shp", "bg.raw", "out", "c_cover"}, "50\n");
    EXPECT_EQ(cover.status, 2);
}

TEST_F(Zonrik, OutputsThatCannotBeCreated)
{
    ramp_background("bg", 6, 5);
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(1, 1, 3, 3)}}}));
    std::filesystem::create_directory(dir.file("out.shp"));
    RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 0);
    const std::string ending = processed(1) + "\nError in creating '.shp'\n";
    EXPECT_EQ(r.out.substr(r.out.size() - ending.size()), ending);
    EXPECT_FALSE(file_exists(dir.file("out.raw")));
    std::filesystem::remove(dir.file("out.shp"));

    std::filesystem::create_directory(dir.file("out.raw"));
    r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\nError in writing Raw image\n\nError in creating output image"), std::string::npos);
    EXPECT_EQ(r.out.find("End program"), std::string::npos);
    std::filesystem::remove(dir.file("out.raw"));

    std::filesystem::create_directory(dir.file("out_cover.txt"));
    r = run({"a.shp", "bg.raw", "out", "c_cover"}, "50\n10\n");
    EXPECT_EQ(r.status, 255);
    EXPECT_NE(r.out.find("\nProcessing block 1......   \nError: in generating 'cover' ascii file"), std::string::npos);
    std::filesystem::create_directory(dir.file("out_temp.txt"));
    std::vector<float> warm(30, 300.0f);
    write_float_background(dir.file("bg.raw"), dir.file("bg.dim"), 6, 5, warm);
    r = run({"a.shp", "bg.raw", "out", "sp_temp"});
    EXPECT_EQ(r.status, 255);
    EXPECT_NE(r.out.find("\nError: in generating 'temp' ascii file"), std::string::npos);
}
