// GeoPackage output through OGR: the record arrays (record_arrays.h) as the
// features of one layer, with the fields the caller names, the CRS set.
//
// - Vertices go from pixel units (origin at the image's lower-left corner,
//   y up) to map units exactly as the shapefile writer converts them
//   (writer_extent and map_x, map_y of world_file.h); without a complete
//   world file they stay in pixel units.
// - Polygon records become MultiPolygons: each outer ring (islands
//   included) a polygon of its own, counter-clockwise, with the holes it
//   directly encloses, clockwise (the orientation of the simple-features
//   standard). Rings must be as the vectoriser traces them (whole-number
//   vertices, axis-parallel edges, rings that never cross; see
//   ring_orientation.h).
// - Polyline records become MultiLineStrings, one line per part.
// - A record without vertices becomes a feature with an empty geometry, so
//   feature i is always record i.
#pragma once

#include "geo_problem.h"
#include "record_arrays.h"
#include "world_file.h"

#include <memory>
#include <string>
#include <vector>

enum class FieldType { integer, real };

struct FieldDefinition {
    std::string name;
    FieldType type = FieldType::integer;
};

// Field values of the records of one append: columns[f][i] is field f of
// record i. A record past the end of a column gets no value (NULL);
// integer fields take the value rounded to the nearest whole number.
using FieldColumns = std::vector<std::vector<double>>;

struct GeoPackageLayout {
    std::string layer_name;  // one beginning with "gpkg", which GeoPackage reserves, gets "_" before it
    int shape_type = 5;  // shape_type_polygon or shape_type_polyline (shapefile_writer.h)
    std::vector<FieldDefinition> fields;
    std::string crs_wkt;  // empty: the GeoPackage's undefined Cartesian system
    WorldFile world;      // `tfw`: pixel units unless complete
    int width = 0;        // the image's size in pixels
    int height = 0;
};

class GeoPackageWriter {
public:
    GeoPackageWriter();
    ~GeoPackageWriter();  // without finish(): the file is removed
    GeoPackageWriter(const GeoPackageWriter&) = delete;
    GeoPackageWriter& operator=(const GeoPackageWriter&) = delete;

    // Creates the GeoPackage at `path` (a file of that name is replaced)
    // with its one layer.
    GeoProblem create(const std::string& path, const GeoPackageLayout& layout);

    // Adds the records as features, in their order. Throws
    // std::invalid_argument when the arrays do not hold whole records.
    GeoProblem append(const RecordArrays& records, const FieldColumns& columns);

    // Commits and closes the file.
    GeoProblem finish();

private:
    struct State;
    // Closes and removes the file (after a failure); hands `problem` back.
    GeoProblem abandon(GeoProblem problem = {});

    std::unique_ptr<State> state_;
};

// Creates, appends and finishes in one call.
inline GeoProblem write_geopackage(const std::string& path, const GeoPackageLayout& layout,
                                   const RecordArrays& records, const FieldColumns& columns)
{
    GeoPackageWriter writer;
    if (GeoProblem problem = writer.create(path, layout)) return problem;
    if (GeoProblem problem = writer.append(records, columns)) return problem;
    return writer.finish();
}
