#include "geopackage_writer.h"

#include "gdal_session.h"
#include "shapefile_writer.h"
#include "test_support.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <utility>

using namespace testsupport;

namespace {

using Ring = std::vector<std::pair<double, double>>;

// An axis-parallel square ring from (x0, y0) to (x1, y1), counter-clockwise
// or clockwise (y up), closed.
Ring square(double x0, double y0, double x1, double y1, bool counter_clockwise)
{
    Ring ring{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
    if (!counter_clockwise) std::reverse(ring.begin(), ring.end());
    return ring;
}

GeoPackageLayout utm_layout(int shape_type)
{
    GeoPackageLayout layout;
    layout.layer_name = "blobs";
    layout.shape_type = shape_type;
    layout.fields = {{"class", FieldType::integer}, {"mean", FieldType::real}};
    OGRSpatialReference srs;
    srs.importFromEPSG(32632);
    char* wkt = nullptr;
    srs.exportToWkt(&wkt);
    layout.crs_wkt = wkt;
    CPLFree(wkt);
    layout.world.values = {0.5, 0, 0, -0.5, 500000.0, 5000000.0};
    layout.world.complete = true;
    layout.width = 10;
    layout.height = 10;
    return layout;
}

GdalDataset open_vector(const std::string& path)
{
    register_gdal_drivers();
    return GdalDataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR));
}

// Rings as the vectoriser traces them: outer rings counter-clockwise,
// holes and islands clockwise. The map's cells are 0.5 m: a pixel is 0.25 m2.
TEST(GeoPackageWriter, PolygonsWithHolesAndIslands)
{
    TempDir dir;
    RecordArrays records;
    records.append_record({square(0, 0, 6, 6, true), square(2, 2, 4, 4, false)});  // 36 - 4 pixels
    records.append_record({square(0, 0, 8, 8, true), square(1, 1, 7, 7, false),   // 64 - 36 + 4
                           square(3, 3, 5, 5, false)});
    records.append_record({});  // no vertices
    const std::string path = dir.file("blobs.gpkg");
    ASSERT_FALSE(write_geopackage(path, utm_layout(shape_type_polygon), records, {{1, 2, 3}, {0.5}}));

    GdalDataset dataset = open_vector(path);
    ASSERT_TRUE(dataset);
    ASSERT_EQ(dataset->GetLayerCount(), 1);
    OGRLayer* layer = dataset->GetLayer(0);
    EXPECT_STREQ(layer->GetName(), "blobs");
    EXPECT_EQ(wkbFlatten(layer->GetGeomType()), wkbMultiPolygon);
    OGRSpatialReference utm;
    utm.importFromEPSG(32632);
    ASSERT_NE(layer->GetSpatialRef(), nullptr);
    EXPECT_TRUE(layer->GetSpatialRef()->IsSame(&utm));
    ASSERT_EQ(layer->GetFeatureCount(), 3);

    const double areas[] = {32 * 0.25, 32 * 0.25, 0};
    const int polygon_counts[] = {1, 2, 0};
    int i = 0;
    for (auto& feature : *layer) {
        SCOPED_TRACE(i);
        EXPECT_EQ(feature->GetFieldAsInteger64("class"), i + 1);
        if (i == 0) {
            EXPECT_EQ(feature->GetFieldAsDouble("mean"), 0.5);
        } else {
            EXPECT_FALSE(feature->IsFieldSetAndNotNull(1));
        }
        const auto* multi = feature->GetGeometryRef()->toMultiPolygon();
        EXPECT_EQ(multi->get_Area(), areas[i]);
        ASSERT_EQ(multi->getNumGeometries(), polygon_counts[i]);
        if (i < 2) {
            EXPECT_TRUE(multi->IsValid());
        }
        for (const OGRPolygon* polygon : *multi) {
            EXPECT_FALSE(polygon->getExteriorRing()->isClockwise());
            for (int h = 0; h < polygon->getNumInteriorRings(); ++h)
                EXPECT_TRUE(polygon->getInteriorRing(h)->isClockwise());
        }
        if (i == 0) {
            OGREnvelope box;
            multi->getEnvelope(&box);
            EXPECT_EQ(box.MinX, 500000.0);
            EXPECT_EQ(box.MaxX, 500003.0);
            EXPECT_EQ(box.MinY, 4999995.0);  // image bottom: 5000000 - 10 * 0.5
            EXPECT_EQ(box.MaxY, 4999998.0);
            ASSERT_EQ(multi->getGeometryRef(0)->getNumInteriorRings(), 1);
        }
        ++i;
    }
}

TEST(GeoPackageWriter, PolylinesAppendedInSteps)
{
    TempDir dir;
    GeoPackageLayout layout = utm_layout(shape_type_polyline);
    layout.crs_wkt.clear();
    layout.world = WorldFile();  // pixel units
    GeoPackageWriter writer;
    const std::string path = dir.file("lines.gpkg");
    ASSERT_FALSE(writer.create(path, layout));
    for (int step = 0; step < 2; ++step) {
        RecordArrays records;
        records.append_record({{{0, 0}, {3, 4}}, {{5, 5}, {6, 5}, {6, 9}}});
        ASSERT_FALSE(writer.append(records, {{10.0 + step}}));
    }
    ASSERT_FALSE(writer.finish());

    GdalDataset dataset = open_vector(path);
    ASSERT_TRUE(dataset);
    OGRLayer* layer = dataset->GetLayer(0);
    ASSERT_NE(layer->GetSpatialRef(), nullptr);
    EXPECT_TRUE(layer->GetSpatialRef()->IsLocal());
    ASSERT_EQ(layer->GetFeatureCount(), 2);
    int step = 0;
    for (auto& feature : *layer) {
        EXPECT_EQ(feature->GetFieldAsInteger64("class"), 10 + step++);
        const auto* lines = feature->GetGeometryRef()->toMultiLineString();
        ASSERT_EQ(lines->getNumGeometries(), 2);
        EXPECT_EQ(lines->getGeometryRef(0)->get_Length(), 5.0);
        EXPECT_EQ(lines->getGeometryRef(1)->getY(2), 9.0);
    }
}

TEST(GeoPackageWriter, FailuresLeaveNothing)
{
    TempDir dir;
    RecordArrays records;
    records.append_record({square(0, 0, 1, 1, true)});
    GeoPackageLayout layout = utm_layout(shape_type_polygon);
    EXPECT_EQ(write_geopackage(dir.file("no/such.gpkg"), layout, records, {}).kind, GeoProblem::Kind::write_failed);
    layout.crs_wkt = "nonsense";
    EXPECT_EQ(write_geopackage(dir.file("bad.gpkg"), layout, records, {}).kind, GeoProblem::Kind::bad_crs);
    {
        GeoPackageWriter unfinished;
        ASSERT_FALSE(unfinished.create(dir.file("left.gpkg"), utm_layout(shape_type_polygon)));
    }
    EXPECT_TRUE(list_files(dir.path()).empty());
}

}  // namespace
