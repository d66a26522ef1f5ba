// Real-world rasters as the programs' inputs, and what ties a run's files to
// the ground.
//
// Every reader of the suite's own formats (BMP, RAW with ".dim") is tried
// first, with its messages as they are; any single-band raster that GDAL
// opens (GeoTIFF, COG, VRT, ENVI, JPEG 2000 ...) comes second. A raster read
// through GDAL brings its geotransform and CRS along. A BMP or RAW brings
// the suite's own world file (".bpw", ".rww"; the program reads it), else a
// standard world file beside it (".wld", centre of the top-left pixel, taken
// over into the suite's outer-corner convention), and the ".prj" beside it.
//
// The Windows build has no GDAL: there the second try reports that only the
// suite's formats are read, and a ".prj" is carried over as its text.
#pragma once

#include "bmp.h"
#include "class_map_colours.h"
#include "geo_problem.h"
#include "grid.h"
#include "raster_problem.h"
#include "world_file.h"

#include <cstdint>
#include <optional>
#include <string>

// Whether this build reads and writes through GDAL.
bool gdal_built_in();

struct Georeference {
    WorldFile world;           // the suite's convention; complete when the input is placed
    std::string crs;           // the CRS: WKT, or a ".prj"'s text; empty when unknown
    bool through_gdal = false; // an input came through GDAL (the GIS layout is then the default)
    std::optional<double> nodata;  // the input's nodata value, when it has one

    bool placed() const { return world.complete; }
};

// Why an input could not be read: by the suite's own reader (`raster`), and
// when that found no file of its format, through GDAL (`geo`, none when
// GDAL did not open it either). The program words `raster` as its Parts say
// unless `geo` names a raster GDAL opened but could not take.
struct InputProblem {
    RasterProblem raster;
    GeoProblem geo;

    explicit operator bool() const { return static_cast<bool>(raster); }
    // GDAL opened the file but refused it: its message is the one to print.
    bool refused_by_gdal() const { return geo && geo != GeoProblem::Kind::cannot_open; }
};

// A class map: the BMP colour reader first; else band 1 of a Byte raster
// through GDAL, each pixel's class key (class_map_colours.h) in Matrice.
// `colours` tells the classes' colours (a BMP's palette is its colour
// table). Matrice(x, y), y = 0 the top row.
InputProblem read_class_map(const std::string& path, Grid<std::int32_t>& Matrice, Extent& dim,
                            ClassMapColours& colours, Georeference& georeference);

// Band 1 of a raster through GDAL (a file that is not in the suite's own
// formats): 8-bit values (Byte only) or any numeric type as float, the
// nodata value as NaN when asked. Row 0 the top row. Fills the
// georeference from the raster.
GeoProblem read_bytes_through_gdal(const std::string& path, Grid<std::uint8_t>& values, Georeference& georeference);
GeoProblem read_floats_through_gdal(const std::string& path, Grid<float>& values, bool nodata_as_nan,
                                    Georeference& georeference);

// Whether GDAL opens `path` as a raster (false without GDAL).
bool gdal_opens(const std::string& path);

// What an input in the suite's formats leaves open after its own world file:
// without one, the standard world file beside `input`
// (find_standard_world_file), taken over into the suite's convention; without
// a CRS, the ".prj" beside `input`. A standard world file or ".prj" that
// cannot be used is a problem naming it.
GeoProblem complete_georeference(const std::string& input, Georeference& georeference);
