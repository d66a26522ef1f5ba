#include "gdal_raster.h"
#include "standard_world_file.h"

#include "gdal_test_rasters.h"
#include "test_support.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace testsupport;
using gdaltest::RasterContents;

namespace {

const Geotransform utm_half_metre{500000.0, 0.5, 0.0, 5000000.0, 0.0, -0.5};

// 5 x 3 samples v(x, y) = 10*y + x, the top row first.
std::vector<double> ramp(int width = 5, int height = 3)
{
    std::vector<double> values;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) values.push_back(10.0 * y + x);
    return values;
}

TEST(GdalRaster, PaletteGeoTiffClassMap)
{
    TempDir dir;
    RasterContents contents;
    contents.width = 5;
    contents.height = 3;
    contents.values = {0, 1, 2, 3, 1, 1, 1, 0, 0, 2, 3, 3, 2, 2, 0};
    contents.geotransform = utm_half_metre;
    contents.epsg = 32632;
    contents.colour_table = {{0, 0, 0}, {255, 0, 0}, {0, 200, 10}, {128, 128, 128}};
    gdaltest::create_raster(dir.file("classes.tif"), contents);

    GdalRaster raster;
    ASSERT_FALSE(raster.open(dir.file("classes.tif")));
    const RasterInfo& info = raster.info();
    EXPECT_EQ(info.driver, "GTiff");
    EXPECT_EQ(info.width, 5);
    EXPECT_EQ(info.height, 3);
    EXPECT_EQ(info.data_type, "Byte");
    EXPECT_TRUE(gdaltest::same_crs(info.crs_wkt, gdaltest::epsg_wkt(32632)));

    const ClassMapColours& colours = info.colours;
    ASSERT_TRUE(colours.has_colour_table);
    EXPECT_EQ(colours.entry_count, 256);  // a GeoTIFF's table has 2^bits entries
    EXPECT_EQ(colours.packed[1], 255 * 65536);
    EXPECT_EQ(colours.packed[2], 200 * 256 + 10);
    EXPECT_FALSE(colours.is_class(0));  // black
    EXPECT_TRUE(colours.is_class(1));
    EXPECT_FALSE(colours.is_class(3));  // grey
    EXPECT_FALSE(colours.is_class(200));  // past the table: black

    WorldFile world;
    ASSERT_FALSE(raster.world_file(world));
    ASSERT_TRUE(world.complete);
    EXPECT_EQ(world.values, (std::array<double, 6>{0.5, 0.0, 0.0, -0.5, 500000.0, 5000000.0}));

    Grid<std::uint8_t> indices;
    ASSERT_FALSE(raster.read_indices(indices));
    ASSERT_EQ(indices.width(), 5);
    ASSERT_EQ(indices.height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(indices(x, y), contents.values[static_cast<std::size_t>(5 * y + x)]);
}

TEST(GdalRaster, ByteWithoutColourTableMakesEveryValueAClass)
{
    TempDir dir;
    RasterContents contents;
    contents.width = 2;
    contents.height = 1;
    contents.values = {0, 255};
    gdaltest::create_raster(dir.file("grey.tif"), contents);
    GdalRaster raster;
    ASSERT_FALSE(raster.open(dir.file("grey.tif")));
    const ClassMapColours& colours = raster.info().colours;
    EXPECT_FALSE(colours.has_colour_table);
    for (int v = 0; v < 256; ++v) {
        const auto value = static_cast<std::uint8_t>(v);
        EXPECT_TRUE(colours.is_class(value));
        EXPECT_EQ(value_of_class_key(colours.class_key(value)), v);
    }
    // Not georeferenced: pixel units, no problem.
    WorldFile world;
    world.complete = true;
    EXPECT_FALSE(raster.world_file(world));
    EXPECT_FALSE(world.complete);
}

TEST(GdalRaster, ClassMapOfAnotherTypeIsRefusedByName)
{
    TempDir dir;
    for (const auto& [type, name] : {std::pair{GDT_Int16, "Int16"}, std::pair{GDT_Float32, "Float32"}}) {
        RasterContents contents;
        contents.width = 5;
        contents.height = 3;
        contents.type = type;
        contents.values = ramp();
        gdaltest::create_raster(dir.file("wide.tif"), contents);
        GdalRaster raster;
        ASSERT_FALSE(raster.open(dir.file("wide.tif")));
        Grid<std::uint8_t> indices;
        const GeoProblem problem = raster.read_indices(indices);
        EXPECT_EQ(problem.kind, GeoProblem::Kind::not_byte);
        EXPECT_EQ(problem.detail, name);
        EXPECT_EQ(problem.message(), "'" + dir.file("wide.tif") + "': band 1 is " + name + ", not Byte");
    }
    // A signed-byte band is no Byte either.
    RasterContents contents;
    contents.width = 1;
    contents.height = 1;
    contents.values = {253};  // the byte of -3
    contents.options = {"PIXELTYPE=SIGNEDBYTE"};
    gdaltest::create_raster(dir.file("signed.tif"), contents);
    GdalRaster raster;
    ASSERT_FALSE(raster.open(dir.file("signed.tif")));
    Grid<std::uint8_t> indices;
    EXPECT_EQ(raster.read_indices(indices).detail, "Int8");
    Grid<float> values;
    ASSERT_FALSE(raster.read_values(values, NodataReading::as_value));
    EXPECT_EQ(values(0, 0), -3.0f);
}

// Every numeric type reads as float32; the nodata value becomes NaN only
// when asked, compared in the band's own type.
TEST(GdalRaster, NumericTypesWithNodata)
{
    TempDir dir;
    struct Case {
        GDALDataType type;
        double nodata;
        double big;  // a sample that is stored exactly
    };
    for (const Case& c : {Case{GDT_Byte, 255, 254}, Case{GDT_Int16, -32768, -32767}, Case{GDT_UInt16, 65535, 65534},
                          Case{GDT_Float32, -3.4028234663852886e38, 0.1f}, Case{GDT_Int32, 2147483647, 2147483646},
                          Case{GDT_Float64, -9999, 1e300}}) {
        SCOPED_TRACE(GDALGetDataTypeName(c.type));
        RasterContents contents;
        contents.width = 5;
        contents.height = 3;
        contents.type = c.type;
        contents.values = ramp();
        contents.values[1] = c.nodata;
        contents.values[2] = c.big;
        contents.nodata = c.nodata;
        contents.options = {"TILED=YES", "BLOCKXSIZE=16", "BLOCKYSIZE=16"};
        gdaltest::create_raster(dir.file("values.tif"), contents);

        GdalRaster raster;
        ASSERT_FALSE(raster.open(dir.file("values.tif")));
        ASSERT_TRUE(raster.info().nodata.has_value());
        EXPECT_EQ(*raster.info().nodata, c.nodata);
        Grid<float> values;
        ASSERT_FALSE(raster.read_values(values, NodataReading::as_nan));
        EXPECT_TRUE(std::isnan(values(1, 0)));
        EXPECT_EQ(values(2, 0), static_cast<float>(c.big));
        EXPECT_EQ(values(4, 2), 24.0f);  // bottom-right: row 0 is the top
        EXPECT_EQ(values(0, 0), 0.0f);

        ASSERT_FALSE(raster.read_values(values, NodataReading::as_value));
        EXPECT_EQ(values(1, 0), static_cast<float>(c.nodata));
    }
}

// One block the height of the image, larger than a strip: read in parts
// through a strip buffer of the band's own type (Float64).
TEST(GdalRaster, BlockTallerThanAStrip)
{
    TempDir dir;
    RasterContents contents;
    contents.width = 4096;
    contents.height = 1100;
    contents.type = GDT_Float64;
    for (int y = 0; y < contents.height; ++y)
        for (int x = 0; x < contents.width; ++x) contents.values.push_back(y * 256.0 + x % 251);
    contents.values[5 * 4096 + 3] = -1;
    contents.nodata = -1;
    contents.options = {"BLOCKYSIZE=1100", "COMPRESS=DEFLATE", "ZLEVEL=1"};
    gdaltest::create_raster(dir.file("tall.tif"), contents);

    GdalRaster raster;
    ASSERT_FALSE(raster.open(dir.file("tall.tif")));
    Grid<float> values;
    ASSERT_FALSE(raster.read_values(values, NodataReading::as_nan));
    EXPECT_TRUE(std::isnan(values(3, 5)));
    values(3, 5) = -1;
    bool same = true;
    for (int y = 0; y < contents.height && same; ++y)
        for (int x = 0; x < contents.width && same; ++x)
            same = values(x, y) == static_cast<float>(contents.values[static_cast<std::size_t>(y) * 4096 + x]);
    EXPECT_TRUE(same);
}

TEST(GdalRaster, RotatedGeotransformIsRefused)
{
    TempDir dir;
    RasterContents contents;
    contents.width = 2;
    contents.height = 2;
    contents.values = {1, 2, 3, 4};
    contents.geotransform = Geotransform{1000.0, 1.0, 0.2, 2000.0, 0.1, -1.0};
    gdaltest::create_raster(dir.file("rotated.tif"), contents);
    GdalRaster raster;
    ASSERT_FALSE(raster.open(dir.file("rotated.tif")));
    WorldFile world;
    EXPECT_EQ(raster.world_file(world).kind, GeoProblem::Kind::rotated);
    EXPECT_FALSE(world.complete);
}

TEST(GdalRaster, EnviAndVrtInputs)
{
    TempDir dir;
    RasterContents contents;
    contents.driver = "ENVI";
    contents.width = 5;
    contents.height = 3;
    contents.type = GDT_Float32;
    contents.values = ramp();
    contents.geotransform = utm_half_metre;
    contents.epsg = 32633;
    gdaltest::create_raster(dir.file("background.raw"), contents);

    // A VRT of the ENVI raster, made with GDAL's own copy.
    {
        GdalDataset source(GDALDataset::Open(dir.file("background.raw").c_str(), GDAL_OF_RASTER));
        ASSERT_TRUE(source);
        GdalDataset vrt(GetGDALDriverManager()->GetDriverByName("VRT")->CreateCopy(
            dir.file("background.vrt").c_str(), source.get(), FALSE, nullptr, nullptr, nullptr));
        ASSERT_TRUE(vrt);
    }
    for (const char* name : {"background.raw", "background.vrt"}) {
        SCOPED_TRACE(name);
        GdalRaster raster;
        ASSERT_FALSE(raster.open(dir.file(name)));
        EXPECT_TRUE(gdaltest::same_crs(raster.info().crs_wkt, gdaltest::epsg_wkt(32633)));
        WorldFile world;
        ASSERT_FALSE(raster.world_file(world));
        EXPECT_EQ(world.easting(), 500000.0);
        Grid<float> values;
        ASSERT_FALSE(raster.read_values(values, NodataReading::as_nan));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) EXPECT_EQ(values(x, y), 10.0f * y + x);
    }
}

TEST(GdalRaster, UnreadableInputsAreProblems)
{
    TempDir dir;
    GdalRaster raster;
    EXPECT_EQ(raster.open(dir.file("missing.tif")).kind, GeoProblem::Kind::cannot_open);
    write_text(dir.file("notes.txt"), "no raster here\n");
    const GeoProblem problem = raster.open(dir.file("notes.txt"));
    EXPECT_EQ(problem.kind, GeoProblem::Kind::cannot_open);
    EXPECT_EQ(problem.path, dir.file("notes.txt"));
    EXPECT_NE(problem.message().find("not recognized"), std::string::npos) << problem.message();
    Grid<float> values;
    EXPECT_TRUE(raster.read_values(values, NodataReading::as_value));
}

}  // namespace

namespace {

// GDAL reads the standard world files the suite writes to the same bits as
// the suite reads them, whatever the values; and a world file GDAL writes
// for a grid on round coordinates reads back as its geotransform.
TEST(StandardWorldFileAndGdal, SameGeotransform)
{
    TempDir dir;
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> cell(0.01, 30), corner(-1e7, 1e7);
    for (int i = 0; i < 100; ++i) {
        WorldFile suite;
        suite.values = {cell(random), 0, 0, -cell(random), corner(random), corner(random)};
        suite.complete = true;
        ASSERT_FALSE(write_standard_world_file(dir.file("r.wld"), suite));
        WorldFile ours;
        ASSERT_FALSE(read_standard_world_file(dir.file("r.wld"), ours));
        Geotransform theirs{};
        ASSERT_TRUE(GDALReadWorldFile(dir.file("r.tif").c_str(), "wld", theirs.data()));
        ASSERT_EQ(geotransform_from_world_file(ours), theirs);
    }
    Geotransform written{500000.0, 0.5, 0, 5000000.0, 0, -0.5};
    ASSERT_TRUE(GDALWriteWorldFile(dir.file("g.bmp").c_str(), "wld", written.data()));
    WorldFile read;
    ASSERT_FALSE(read_standard_world_file(find_standard_world_file(dir.file("g.bmp")).value_or(""), read));
    EXPECT_EQ(geotransform_from_world_file(read), written);
}

}  // namespace
