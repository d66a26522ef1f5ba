#include "geotiff_writer.h"

#include "bmp.h"
#include "gdal_raster.h"
#include "gdal_test_rasters.h"
#include "test_support.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>

#include <cstring>

using namespace testsupport;

namespace {

RasterGeoreferencing utm_georeferencing()
{
    RasterGeoreferencing georeferencing;
    georeferencing.world.values = {0.5, 0, 0, -0.5, 500000.0, 5000000.0};
    georeferencing.world.complete = true;
    georeferencing.crs_wkt = gdaltest::epsg_wkt(32632);
    return georeferencing;
}

std::string structure_item(const std::string& path, const char* item)
{
    GdalDataset dataset(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER));
    const char* value = dataset ? dataset->GetMetadataItem(item, "IMAGE_STRUCTURE") : nullptr;
    return value ? value : "";
}

// Large enough for several strips of whole tile rows, with a last strip
// that is not full: the reader and the writer both walk it strip by strip.
TEST(GeoTiffWriter, FloatRowsInBothOrdersAcrossStrips)
{
    TempDir dir;
    const int width = 4096, height = 1100;
    Grid<float> values(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) values(x, y) = static_cast<float>(y * 8192 + x);
    values(7, 3) = -9999.0f;
    RasterGeoreferencing georeferencing = utm_georeferencing();
    georeferencing.nodata = -9999.0;

    for (RowOrder rows : {RowOrder::top_first, RowOrder::bottom_first}) {
        const std::string path = dir.file(rows == RowOrder::top_first ? "top.tif" : "bottom.tif");
        ASSERT_FALSE(write_geotiff(path, values, rows, georeferencing));
        EXPECT_EQ(structure_item(path, "COMPRESSION"), "DEFLATE");

        GdalRaster raster;
        ASSERT_FALSE(raster.open(path));
        EXPECT_EQ(raster.info().data_type, "Float32");
        EXPECT_EQ(raster.info().nodata.value_or(0), -9999.0);
        EXPECT_EQ(raster.info().geotransform, (Geotransform{500000.0, 0.5, 0, 5000000.0, 0, -0.5}));
        EXPECT_TRUE(gdaltest::same_crs(raster.info().crs_wkt, georeferencing.crs_wkt));
        Grid<float> back;
        ASSERT_FALSE(raster.read_values(back, NodataReading::as_value));
        if (rows == RowOrder::top_first) {
            EXPECT_TRUE(back == values);
        } else {
            bool flipped = true;
            for (int y = 0; y < height && flipped; ++y)
                flipped = std::memcmp(back.row(y), values.row(height - 1 - y), sizeof(float) * width) == 0;
            EXPECT_TRUE(flipped);
        }
    }
}

TEST(GeoTiffWriter, PaletteIndices)
{
    TempDir dir;
    Grid<std::uint8_t> indices(3, 2);
    indices(0, 0) = 1;
    indices(2, 1) = 16;
    const std::string path = dir.file("zones.tif");
    ASSERT_FALSE(write_geotiff(path, indices, RowOrder::bottom_first, zone_palette(), RasterGeoreferencing()));

    GdalRaster raster;
    ASSERT_FALSE(raster.open(path));
    const ClassMapColours& colours = raster.info().colours;
    ASSERT_TRUE(colours.has_colour_table);
    EXPECT_EQ(colours.entry_count, 256);
    EXPECT_EQ(colours.packed[1], 64 * packed_grey_step);
    EXPECT_EQ(colours.packed[16], 255);  // blue
    EXPECT_FALSE(raster.info().georeferenced);
    Grid<std::uint8_t> back;
    ASSERT_FALSE(raster.read_indices(back));
    EXPECT_EQ(back(0, 1), 1);  // grid row 0 is the bottom
    EXPECT_EQ(back(2, 0), 16);
}

TEST(GeoTiffWriter, FailuresLeaveNothing)
{
    TempDir dir;
    const Grid<float> values(2, 2, 1.0f);
    const GeoProblem missing_folder =
        write_geotiff(dir.file("no/such/folder.tif"), values, RowOrder::top_first, RasterGeoreferencing());
    EXPECT_EQ(missing_folder.kind, GeoProblem::Kind::write_failed);
    EXPECT_EQ(missing_folder.path, dir.file("no/such/folder.tif"));
    EXPECT_FALSE(missing_folder.detail.empty());

    RasterGeoreferencing bad = utm_georeferencing();
    bad.crs_wkt = "nonsense";
    EXPECT_EQ(write_geotiff(dir.file("bad.tif"), values, RowOrder::top_first, bad).kind, GeoProblem::Kind::bad_crs);
    EXPECT_TRUE(list_files(dir.path()).empty());
}

}  // namespace
