// `gen_file_shp`: writes the record arrays (record_arrays.h) as one ESRI
// shapefile: main file ".shp", index ".shx" and attribute table ".dbf".
//
// The three writers of the suite differ only in the options:
//   Polvane: polygons, Id table;
//   Traskel: shape type 3 or 5, Id table;
//   Zonrik:  polygons, VALUE table (one value per record).
//
// What is written:
// - Vertices go from pixel units (origin at the image's lower-left corner,
//   y up) to map units through the world file: X = (x_max - x_min)*px/width
//   + x_min, Y likewise, with the extent of writer_extent (world_file.h);
//   without a complete world file the extent is 0..width by 0..height.
// - ".shp": header with file code 9994, length, version 1000, the shape type
//   and the image's whole extent; then each record with its number, content
//   length 22 + 2n + 8m words, shape type, box, NumParts, NumPoints, the part
//   starts and the vertices, all in the order they stand in the arrays. The
//   record box is taken in pixel units with the minimum seeded at
//   (width-1, height-1) and the maximum at (0, 0), then converted. Polygon
//   rings are written as traced (outer rings counter-clockwise, holes and
//   islands clockwise) or, when asked, turned round to the orientation GIS
//   readers expect (ring_orientation.h); records, part starts and boxes stay
//   the same.
// - ".shx": header with the box 0, 0, width-1, height-1 in pixel units
//   (whatever the world file), then offset and length of every record.
// - ".dbf": attribute_table.h.
#pragma once

#include "attribute_table.h"
#include "output_files.h"
#include "record_arrays.h"
#include "ring_orientation.h"
#include "world_file.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

constexpr int shape_type_polyline = 3;
constexpr int shape_type_polygon = 5;

struct ShapefileOptions {
    int shape_type = shape_type_polygon;
    WorldFile world;  // `tfw`; pixel units unless world.complete (`check_tfw`)
    AttributeTable table = AttributeTable::id;
    std::vector<float> values;  // the VALUE table's values, one per record
    // Ring orientation of polygon records; none: as SUITE_SHAPEFILE_RINGS
    // asks (ring_orientation_from_environment).
    std::optional<RingOrientation> rings;
    // The GIS layout: every box (main and index headers, records) the
    // records' own extent in map units, instead of the image's box and the
    // seeded record boxes.
    bool true_extent = false;
    // Whole-number fields after the table's own (attribute_table.h).
    std::vector<IntegerColumn> columns;
};

// The shapefile's three files as they are written.
struct ShapefilePaths {
    std::string shp, shx, dbf;
};

// "<nome>.shp", "<nome>.shx", "<nome>.dbf".
ShapefilePaths shapefile_paths(const std::string& nome);

// The three files of "<nome>" as outputs of a run (output_files.h).
std::optional<OutputProblem> add_shapefile_outputs(OutputFiles& outputs, const std::string& nome);

// Which file could not be written (".shp", ".shx" or ".dbf") and the
// system's reason.
struct ShapefileProblem {
    const char* extension;
    std::error_code error;
};

// The temporaries the three files of "<nome>", outputs of a run, are written
// into; a temporary that cannot be made is a file that cannot be created.
std::optional<ShapefileProblem> shapefile_temporaries(OutputFiles& outputs, const std::string& nome,
                                                      ShapefilePaths& temporaries);

// Creates the three files (all three opened before anything is written) and
// writes them; width and height are the image's size in pixels. A file that
// fails is removed. Throws std::invalid_argument when the arrays do not hold
// whole records.
std::optional<ShapefileProblem> gen_file_shp(const ShapefilePaths& nome, const RecordArrays& records, int width,
                                             int height, const ShapefileOptions& options);

// The shapefile "<nome>", an output of a run, written into its temporaries
// (shapefile_temporaries, then gen_file_shp).
std::optional<ShapefileProblem> write_shapefile_output(OutputFiles& outputs, const std::string& nome,
                                                       const RecordArrays& records, int width, int height,
                                                       const ShapefileOptions& options);

// The size of one record: NumParts and NumPoints.
struct RecordSize {
    std::int32_t parts = 0;
    std::int32_t points = 0;
};

// gen_file_shp for records that are not all held at once: the writer is
// told every record's size first, then asks for the records in order, each
// into an emptied `record` (fetch(index, record) appends exactly that one
// record). The files are byte for byte those gen_file_shp writes for the
// same records, in the specified layout (not options.true_extent, whose
// header needs every record first). Throws std::invalid_argument when a
// fetched record is not one record of the size told, or for the GIS layout.
std::optional<ShapefileProblem> gen_file_shp_by_record(const ShapefilePaths& nome,
                                                       const std::vector<RecordSize>& sizes,
                                                       const std::function<void(std::size_t, RecordArrays&)>& fetch,
                                                       int width, int height, const ShapefileOptions& options);
