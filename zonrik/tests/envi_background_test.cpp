// Backgrounds described by an ENVI header instead of a ".dim" file: the
// header reader, Zonrik reading its own output and the suite's float
// rasters, other sample layouts, and the headers it refuses.
#include "envi_header.h"
#include "raw.h"
#include "shapefile_builder.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using namespace testsupport;

namespace {

EnviHeaderRead header_of(const TempDir& dir, const std::string& text)
{
    write_text(dir.file("h.hdr"), text);
    return read_envi_header(dir.file("h.hdr"));
}

std::string dbf_value(const Bytes& dbf, int r)
{
    const std::size_t at = 65 + 27 * static_cast<std::size_t>(r);
    return std::string(dbf.begin() + at + 1, dbf.begin() + at + 27);
}

}  // namespace

TEST(EnviHeader, FieldsInAnyCaseAndSpacingWithDefaults)
{
    TempDir dir;
    EnviHeaderRead read = header_of(dir, "ENVI\r\ndescription = {two\nlines = 99 }\r\nSamples=7\r\n  lines   =  3\r\n"
                                         "DATA  Type = 12\r\nbyte order = 1\r\nheader offset = 512\r\nmap info = {x}\r\n");
    ASSERT_EQ(read.status, EnviHeaderStatus::ok);
    EXPECT_EQ(read.header.samples, 7);
    EXPECT_EQ(read.header.lines, 3);  // not the "lines" inside the description
    EXPECT_EQ(read.header.bands, 1);
    EXPECT_EQ(read.header.data_type, 12);
    EXPECT_EQ(read.header.byte_order, 1);
    EXPECT_EQ(read.header.header_offset, 512u);

    read = header_of(dir, "ENVI\nsamples = 7\nlines = 3\ndata type = 4\n");
    ASSERT_EQ(read.status, EnviHeaderStatus::ok);
    EXPECT_EQ(read.header.byte_order, 0);
    EXPECT_EQ(read.header.header_offset, 0u);

    EXPECT_EQ(envi_sample_bytes(1), 1);
    EXPECT_EQ(envi_sample_bytes(2), 2);
    EXPECT_EQ(envi_sample_bytes(12), 2);
    EXPECT_EQ(envi_sample_bytes(4), 4);
    EXPECT_EQ(envi_sample_bytes(5), 0);  // doubles are not taken
}

TEST(EnviHeader, WhatIsRefused)
{
    TempDir dir;
    EXPECT_EQ(read_envi_header(dir.file("none.hdr")).status, EnviHeaderStatus::cannot_open);
    EXPECT_EQ(header_of(dir, "ENVIRONMENT\nsamples = 1\n").status, EnviHeaderStatus::not_envi);
    EXPECT_EQ(header_of(dir, "samples = 1\nENVI\n").status, EnviHeaderStatus::not_envi);
    const std::pair<std::string, std::string> missing[] = {{"lines = 2\ndata type = 1\n", "samples"},
                                                           {"samples = 2\ndata type = 1\n", "lines"},
                                                           {"samples = 2\nlines = 2\n", "data type"}};
    for (const auto& [fields, field] : missing) {
        const EnviHeaderRead read = header_of(dir, "ENVI\n" + fields);
        EXPECT_EQ(read.status, EnviHeaderStatus::missing_field);
        EXPECT_EQ(read.field, field);
    }
    const std::pair<std::string, std::string> bad[] = {{"samples = -2", "samples"},
                                                       {"lines = 2.5", "lines"},
                                                       {"samples = 2147483648", "samples"},
                                                       {"bands = 0", "bands"},
                                                       {"byte order = 2", "byte order"},
                                                       {"header offset = x", "header offset"},
                                                       {"data type =", "data type"}};
    for (const auto& [line, field] : bad) {
        const EnviHeaderRead read = header_of(dir, "ENVI\nsamples = 2\nlines = 2\ndata type = 1\n" + line + "\n");
        EXPECT_EQ(read.status, EnviHeaderStatus::bad_field) << line;
        EXPECT_EQ(read.field, field);
    }
}

class ZonrikEnvi : public testing::Test {
protected:
    RunResult run(const std::vector<std::string>& args) { return run_program("zonrik", args, dir.path()); }
    TempDir dir;
};

TEST_F(ZonrikEnvi, ReadsItsOwnOutputAndTheSuitesFloatRasters)
{
    // 6 x 4, file row r, column x: x + 10 r.
    std::vector<float> values;
    for (int r = 0; r < 4; ++r)
        for (int x = 0; x < 6; ++x) values.push_back(static_cast<float>(x + 10 * r));
    write_float_background(dir.file("bg.raw"), dir.file("bg.dim"), 6, 4, values);
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(0, 0, 2, 2)}}, {{test_rectangle(3, 1, 6, 4)}}}));
    ASSERT_EQ(run({"a.shp", "bg.raw", "first", "mean"}).status, 0);

    // Zonrik's own output, which has only its ENVI header beside it: every
    // zone holds one value, so measuring it again gives the same values.
    const RunResult again = run({"a.shp", "first.raw", "second", "mean"});
    ASSERT_EQ(again.status, 0) << again.out;
    EXPECT_NE(again.out.find("\nOpening Background image... Ok\n\nSize of background file in bytes: 96\n"
                             "\nWidth: 6\tHeight: 4\t\t32 bit/pixel raw image\n\nRWW file not present\n"),
              std::string::npos)
        << again.out;
    EXPECT_EQ(read_bytes(dir.file("second.raw")), read_bytes(dir.file("first.raw")));
    EXPECT_EQ(read_bytes(dir.file("second.dbf")), read_bytes(dir.file("first.dbf")));

    // A float raster with the header the height rasters carry, named with
    // ".hdr" after the whole name as other tools write it.
    Grid<float> heights(3, 2, 0.0f);
    heights(0, 0) = 4.5f;  // top-left
    heights(2, 1) = -1.0f;  // bottom-right
    ASSERT_EQ(write_raw_floats(dir.file("h.bin"), heights), std::error_code());
    ASSERT_EQ(write_envi_header(dir.file("h.bin.hdr"), "h", 3, 2), std::error_code());
    write_bytes(dir.file("b.shp"), polygon_shapefile({{{test_rectangle(0, 1, 1, 2)}}, {{test_rectangle(2, 0, 3, 1)}}}));
    ASSERT_EQ(run({"b.shp", "h.bin", "out", "mean"}).status, 0);
    const Bytes dbf = read_bytes(dir.file("out.dbf"));
    EXPECT_EQ(dbf_value(dbf, 0), std::string(18, ' ') + "4.500000");
    EXPECT_EQ(dbf_value(dbf, 1), std::string(17, ' ') + "-1.000000");
}

TEST_F(ZonrikEnvi, SampleLayoutsByteOrdersAndHeaderOffsets)
{
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(0, 1, 1, 2)}}, {{test_rectangle(1, 0, 2, 1)}}}));
    struct Case {
        std::string fields;
        Bytes samples;  // 2 x 2, top row first
        std::string bits, first, second;
    };
    const Case cases[] = {
        {"data type = 1", {7, 0, 0, 250}, "8", "7.000000", "250.000000"},
        {"data type = 2\nbyte order = 1", {0xFF, 0xFE, 0, 0, 0, 0, 0x01, 0x02}, "16", "-2.000000", "258.000000"},
        {"data type = 12\nbyte order = 1", {0xFF, 0xFE, 0, 0, 0, 0, 0x01, 0x02}, "16", "65534.000000", "258.000000"},
        {"data type = 12", {0xFF, 0xFE, 0, 0, 0, 0, 0x01, 0x02}, "16", "65279.000000", "513.000000"},
        {"data type = 4\nbyte order = 1", {0x40, 0x20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0x60, 0, 0}, "32",
         "2.500000", "-3.500000"},
    };
    for (const Case& c : cases) {
        // Three bytes of header before the samples, and two after them.
        Bytes file(3 + c.samples.size() + 2, 9);
        std::copy(c.samples.begin(), c.samples.end(), file.begin() + 3);
        write_bytes(dir.file("bg.img"), file);
        write_text(dir.file("bg.hdr"), "ENVI\nsamples = 2\nlines = 2\nbands = 1\nheader offset = 3\n" + c.fields + "\n");
        const RunResult r = run({"a.shp", "bg.img", "out", "mean"});
        ASSERT_EQ(r.status, 0) << c.fields << r.out;
        EXPECT_NE(r.out.find("\t\t" + c.bits + " bit/pixel raw image"), std::string::npos) << c.fields;
        const Bytes dbf = read_bytes(dir.file("out.dbf"));
        EXPECT_EQ(dbf_value(dbf, 0), std::string(26 - c.first.size(), ' ') + c.first) << c.fields;
        EXPECT_EQ(dbf_value(dbf, 1), std::string(26 - c.second.size(), ' ') + c.second) << c.fields;
    }

    // A ".dim" file, when there is one, gives the extent.
    write_bytes(dir.file("bg.img"), Bytes{1, 2, 3, 4});
    write_text(dir.file("bg.dim"), "2 2\n");
    const RunResult r = run({"a.shp", "bg.img", "out", "mean"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(dbf_value(read_bytes(dir.file("out.dbf")), 0), std::string(18, ' ') + "1.000000");
}

TEST_F(ZonrikEnvi, HeadersItCannotUseAreRefused)
{
    write_bytes(dir.file("a.shp"), polygon_shapefile({{{test_rectangle(0, 0, 1, 1)}}}));
    write_bytes(dir.file("bg.raw"), Bytes(16, 0));
    const std::string size_lines = "\n\nSize of background file in bytes: 16\n\nWidth: 2\tHeight: 2";
    const std::pair<std::string, std::string> cases[] = {
        {"samples = 2\nlines = 2\ndata type = 4\n", "\nError: 'bg.hdr' is not an ENVI header\n"},
        {"ENVI\nsamples = 2\ndata type = 4\n", "\nError: 'bg.hdr' gives no lines\n"},
        {"ENVI\nsamples = two\nlines = 2\ndata type = 4\n",
         "\nError: the samples in 'bg.hdr' is not a whole number in its range\n"},
        {"ENVI\nsamples = 2\nlines = 2\nbands = 3\ndata type = 1\n",
         "\nError: 'bg.hdr' describes 3 bands; the background must have one\n"},
        {"ENVI\nsamples = 2\nlines = 2\ndata type = 5\n",
         "\nError: data type 5 in 'bg.hdr'; the background must be of data type 1 (8 bit), 2 or 12 (16 bit) or 4 (32 "
         "bit float)\n"},
        {"ENVI\nsamples = 2\nlines = 2\ndata type = 4\nheader offset = 1\n",
         size_lines + "\t\t32 bit/pixel raw image\nError: the background file ended before all its pixels were read\n"},
        {"ENVI\nsamples = 2\nlines = 2\ndata type = 4\nheader offset = 99999999999\n",
         "\t\t32 bit/pixel raw image\nError: the background file ended before all its pixels were read\n"},
    };
    for (const auto& [text, message] : cases) {
        write_text(dir.file("bg.hdr"), text);
        const RunResult r = run({"a.shp", "bg.raw", "out", "mean"});
        EXPECT_EQ(r.status, 255) << text;
        EXPECT_NE(r.out.find("\nOpening Background image... Ok"), std::string::npos);
        EXPECT_EQ(r.out.substr(r.out.size() - std::min(r.out.size(), message.size())), message) << r.out;
        EXPECT_FALSE(file_exists(dir.file("out.raw")));
    }

    // The temperature needs float samples.
    write_text(dir.file("bg.hdr"), "ENVI\nsamples = 2\nlines = 2\ndata type = 12\n");
    RunResult r = run({"a.shp", "bg.raw", "out", "sp_temp"});
    EXPECT_EQ(r.status, 255);
    EXPECT_NE(r.out.find("\t\t16 bit/pixel raw image\n\n\nError: The function 'sp_temp' foreseen 32 bit background\n"),
              std::string::npos);

    // Neither a ".dim" file nor a header: the missing ".dim" file is named.
    std::remove(dir.file("bg.hdr").c_str());
    r = run({"a.shp", "bg.raw", "out", "mean"});
    EXPECT_EQ(r.status, 255);
    const std::string missing = "\nError in opening '.dim' file\n";
    EXPECT_EQ(r.out.substr(r.out.size() - missing.size()), missing);
}
