// The bytes of the three shapefile files.
#include "reference_vectoriser.h"
#include "shapefile_writer.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

using namespace testsupport;

namespace {

RecordArrays centre_pixel_record()
{
    RecordArrays records;
    records.append_record({{{1, 1}, {2, 1}, {2, 2}, {1, 2}, {1, 1}}});
    return records;
}

struct Written {
    Bytes shp, shx, dbf;
};

Written write(const RecordArrays& records, int width, int height, const ShapefileOptions& options = {})
{
    TempDir dir;
    EXPECT_FALSE(gen_file_shp(shapefile_paths(dir.file("out")), records, width, height, options));
    return {read_bytes(dir.file("out.shp")), read_bytes(dir.file("out.shx")), read_bytes(dir.file("out.dbf"))};
}

}  // namespace

TEST(ShapefileWriter, CentrePixelFiles)
{
    const Written w = write(centre_pixel_record(), 3, 3);
    ASSERT_EQ(w.shp.size(), 236u);
    EXPECT_EQ(be32(w.shp, 0), 9994u);
    EXPECT_EQ(be32(w.shp, 24), 118u);
    EXPECT_EQ(le32(w.shp, 28), 1000u);
    EXPECT_EQ(le32(w.shp, 32), 5u);
    EXPECT_EQ(le_double(w.shp, 36), 0.0);
    EXPECT_EQ(le_double(w.shp, 44), 0.0);
    EXPECT_EQ(le_double(w.shp, 52), 3.0);
    EXPECT_EQ(le_double(w.shp, 60), 3.0);
    // Record header and content.
    EXPECT_EQ(be32(w.shp, 100), 1u);
    EXPECT_EQ(be32(w.shp, 104), 64u);
    EXPECT_EQ(le32(w.shp, 108), 5u);
    EXPECT_EQ(le_double(w.shp, 112), 1.0);
    EXPECT_EQ(le_double(w.shp, 120), 1.0);
    EXPECT_EQ(le_double(w.shp, 128), 2.0);
    EXPECT_EQ(le_double(w.shp, 136), 2.0);
    EXPECT_EQ(le32(w.shp, 144), 1u);
    EXPECT_EQ(le32(w.shp, 148), 5u);
    EXPECT_EQ(le32(w.shp, 152), 0u);
    const double expected[] = {1, 1, 2, 1, 2, 2, 1, 2, 1, 1};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(le_double(w.shp, 156 + 8 * i), expected[i]) << i;

    ASSERT_EQ(w.shx.size(), 108u);
    EXPECT_EQ(be32(w.shx, 24), 54u);
    EXPECT_EQ(le_double(w.shx, 52), 2.0);
    EXPECT_EQ(le_double(w.shx, 60), 2.0);
    EXPECT_EQ(be32(w.shx, 100), 50u);
    EXPECT_EQ(be32(w.shx, 104), 64u);

    ASSERT_EQ(w.dbf.size(), 73u);
    const Bytes header_start = {0x03, 103, 2, 5, 1, 0, 0, 0, 65, 0, 7, 0};
    EXPECT_EQ(Bytes(w.dbf.begin(), w.dbf.begin() + 12), header_start);
    EXPECT_EQ(w.dbf[29], 0x57);
    EXPECT_EQ(std::string(w.dbf.begin() + 32, w.dbf.begin() + 43), std::string("Id\0\0\0\0\0\0\0\0\0", 11));
    EXPECT_EQ(w.dbf[43], 'N');
    EXPECT_EQ(w.dbf[48], 6);
    EXPECT_EQ(w.dbf[49], 0);
    EXPECT_EQ(w.dbf[64], 0x0D);
    EXPECT_EQ(std::string(w.dbf.begin() + 65, w.dbf.begin() + 72), "      0");
    EXPECT_EQ(w.dbf[72], 0x1A);
}

TEST(ShapefileWriter, RecordOffsetsAndHoleParts)
{
    RecordArrays records;
    records.append_record({{{1, 1}, {4, 1}, {4, 4}, {1, 4}, {1, 1}}, {{2, 2}, {2, 3}, {3, 3}, {3, 2}, {2, 2}}});
    records.append_record({{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}});
    const Written w = write(records, 5, 5);
    // First record: 2 parts, 10 points: 22 + 4 + 80 = 106 words.
    EXPECT_EQ(be32(w.shp, 104), 106u);
    EXPECT_EQ(le32(w.shp, 144), 2u);
    EXPECT_EQ(le32(w.shp, 148), 10u);
    EXPECT_EQ(le32(w.shp, 152), 0u);
    EXPECT_EQ(le32(w.shp, 156), 5u);
    EXPECT_EQ(be32(w.shx, 108), 50u + 4 + 106);
    EXPECT_EQ(be32(w.shp, 24), 50u + 4 + 106 + 4 + 64);
    EXPECT_EQ(w.shp.size(), 2u * (50 + 4 + 106 + 4 + 64));
    EXPECT_EQ(le32(w.dbf, 4), 2u);
}

TEST(ShapefileWriter, WorldFileExtentsWithShxBoxInPixels)
{
    RecordArrays records;
    records.append_record({{{0, 0}, {10, 0}, {10, 5}, {0, 5}, {0, 0}}});
    ShapefileOptions options;
    options.world.values = {2, 0, 0, -2, 1000, 5000};
    options.world.complete = true;
    const Written w = write(records, 10, 5, options);
    EXPECT_EQ(le_double(w.shp, 36), 1000.0);
    EXPECT_EQ(le_double(w.shp, 44), 4990.0);
    EXPECT_EQ(le_double(w.shp, 52), 1020.0);
    EXPECT_EQ(le_double(w.shp, 60), 5000.0);
    EXPECT_EQ(le_double(w.shp, 156), 1000.0);  // vertex (0, 0)
    EXPECT_EQ(le_double(w.shp, 164), 4990.0);
    EXPECT_EQ(le_double(w.shp, 172), 1020.0);  // vertex (10, 0)
    EXPECT_EQ(le_double(w.shp, 188), 1020.0);  // vertex (10, 5)
    EXPECT_EQ(le_double(w.shp, 196), 5000.0);
    EXPECT_EQ(le_double(w.shx, 36), 0.0);
    EXPECT_EQ(le_double(w.shx, 52), 9.0);
    EXPECT_EQ(le_double(w.shx, 60), 4.0);

    // Full UTM coordinates survive: the world file is held in doubles.
    options.world.values = {0.25, 0, 0, -0.25, 612345.125, 5012345.875};
    const Written utm = write(records, 10, 5, options);
    EXPECT_EQ(le_double(utm.shp, 156), 612345.125);
    EXPECT_EQ(le_double(utm.shp, 196), 5012345.875);
}

TEST(ShapefileWriter, EmptyRecordBoxFromTheSeeds)
{
    RecordArrays records;
    records.part = {0, 0, -3000};
    const Written w = write(records, 8, 6);
    EXPECT_EQ(be32(w.shp, 104), 22u);
    EXPECT_EQ(le_double(w.shp, 112), 7.0);
    EXPECT_EQ(le_double(w.shp, 120), 5.0);
    EXPECT_EQ(le_double(w.shp, 128), 0.0);
    EXPECT_EQ(le_double(w.shp, 136), 0.0);
    EXPECT_EQ(le32(w.shp, 144), 0u);
    EXPECT_EQ(le32(w.shp, 148), 0u);
    EXPECT_EQ(w.shp.size(), 100u + 8 + 44);
}

TEST(ShapefileWriter, PolylineShapeType)
{
    RecordArrays records;
    records.append_record({{{1, 1}, {3, 2}}});
    ShapefileOptions options;
    options.shape_type = shape_type_polyline;
    const Written w = write(records, 4, 4, options);
    EXPECT_EQ(le32(w.shp, 32), 3u);
    EXPECT_EQ(le32(w.shp, 108), 3u);
    EXPECT_EQ(le32(w.shx, 32), 3u);
    EXPECT_EQ(be32(w.shp, 104), 22u + 2 + 16);
}

TEST(ShapefileWriter, ValueTable)
{
    RecordArrays records;
    for (int i = 0; i < 3; ++i) records.append_record({});
    ShapefileOptions options;
    options.table = AttributeTable::value;
    options.values = {12.5f, -3.25f, std::numeric_limits<float>::quiet_NaN()};
    const Written w = write(records, 4, 4, options);
    ASSERT_EQ(w.dbf.size(), 65u + 3 * 27 + 1);
    EXPECT_EQ(w.dbf[1], 108);
    EXPECT_EQ(w.dbf[2], 10);
    EXPECT_EQ(w.dbf[3], 29);
    EXPECT_EQ(le16(w.dbf, 10), 27u);
    EXPECT_EQ(w.dbf[29], 0);
    EXPECT_EQ(std::string(w.dbf.begin() + 32, w.dbf.begin() + 37), "VALUE");
    EXPECT_EQ(w.dbf[48], 26);
    EXPECT_EQ(w.dbf[49], 6);
    auto record = [&](int r) { return std::string(w.dbf.begin() + 65 + 27 * r, w.dbf.begin() + 65 + 27 * (r + 1)); };
    EXPECT_EQ(record(0), " " + std::string(17, ' ') + "12.500000");
    EXPECT_EQ(record(1), " " + std::string(17, ' ') + "-3.250000");
    EXPECT_EQ(record(2), std::string(27, ' '));
}

TEST(ShapefileWriter, ValueFieldLimits)
{
    EXPECT_EQ(value_field(0.0f), std::string(18, ' ') + "0.000000");
    EXPECT_EQ(value_field(1e19f), "9999999980506447872.000000");  // 19 digits: just fits
    EXPECT_EQ(value_field(-1e19f), std::string(26, ' '));        // 20 characters: does not
    EXPECT_EQ(value_field(std::numeric_limits<float>::infinity()), std::string(26, ' '));
}

TEST(ShapefileWriter, UncreatableFileNamesItsExtension)
{
    auto problem = gen_file_shp(shapefile_paths("/nonexistent-folder/out"), centre_pixel_record(), 3, 3, {});
    ASSERT_TRUE(problem);
    EXPECT_STREQ(problem->extension, ".shp");
    EXPECT_EQ(problem->error, std::errc::no_such_file_or_directory);

    TempDir dir;
    const std::string blocked = dir.file("out.shx");
    ASSERT_TRUE(std::filesystem::create_directory(blocked));  // a folder where the index file should go
    problem = gen_file_shp(shapefile_paths(dir.file("out")), centre_pixel_record(), 3, 3, {});
    ASSERT_TRUE(problem);
    EXPECT_STREQ(problem->extension, ".shx");
}

TEST(ShapefileWriter, MalformedRecordsAreRefused)
{
    RecordArrays records;
    records.part = {1, 5, 0};  // no end mark
    EXPECT_THROW(gen_file_shp(shapefile_paths("unused"), records, 3, 3, {}), std::invalid_argument);
    records.part = {1, 5, 0, -3000};  // vertices missing
    EXPECT_THROW(records.record_layouts(), std::invalid_argument);
}
