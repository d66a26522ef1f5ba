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
#include <vector>

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
// GDAL did not open it either). The program words `raster` in its own messages
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
// formats): 8-bit values (Byte only; its colour table into `colours` when
// asked) or any numeric type as float, the nodata value as NaN when asked.
// Row 0 the top row. Fills the georeference from the raster.
GeoProblem read_bytes_through_gdal(const std::string& path, Grid<std::uint8_t>& values, Georeference& georeference,
                                   ClassMapColours* colours = nullptr);
GeoProblem read_floats_through_gdal(const std::string& path, Grid<float>& values, bool nodata_as_nan,
                                    Georeference& georeference);

// Whether GDAL opens `path` as a raster (false without GDAL).
bool gdal_opens(const std::string& path);

// What GDAL tells of a raster before its samples are read: for a program's
// messages and checks, and for the files its run reads.
struct GdalRasterFacts {
    std::string driver;     // GDAL's short name ("GTiff", "VRT" ...)
    std::string data_type;  // band 1's type ("Byte", "Int16", "Float32" ...; signed bytes "Int8")
    int sample_bits = 0;    // bits per sample of that type
    int width = 0;
    int height = 0;
    std::optional<double> nodata;    // band 1's nodata value
    std::vector<std::string> files;  // every file of the dataset: the raster, its sidecars, a VRT's sources
};

// Opens `path` through GDAL and tells what it holds and where it lies,
// reading no sample. A problem when GDAL does not open it as a raster with a
// band (always in a build without GDAL: cannot_open), or cannot take its
// georeferencing.
GeoProblem describe_through_gdal(const std::string& path, GdalRasterFacts& facts, Georeference& georeference);

// What an input in the suite's formats leaves open after its own world file:
// without one, the standard world file beside `input`
// (find_standard_world_file), taken over into the suite's convention; without
// a CRS, the ".prj" beside `input`. A standard world file or ".prj" that
// cannot be used is a problem naming it.
GeoProblem complete_georeference(const std::string& input, Georeference& georeference);

// The files beside `input` that complete_georeference reads (its standard
// world file and ".prj", those that exist), for a run to name as inputs.
std::vector<std::string> georeference_files(const std::string& input);

// What places a data file that is no raster (a segments file, in pixels of
// the image it came from): its suite world file `suite_world` (".bpw", read
// by the program from `suite_world_path`) when complete, else the standard
// ".wld" beside `data_path`; the CRS of the ".prj" beside `data_path`, else
// of the one beside the world file taken. `files_read` gets every file read.
// A standard world file or ".prj" that cannot be used is a problem naming it.
GeoProblem data_file_georeference(const std::string& data_path, const WorldFile& suite_world,
                                  const std::optional<std::string>& suite_world_path, Georeference& georeference,
                                  std::vector<std::string>& files_read);

// The georeference two rasters of the same width x height share: none when
// both are placed and their corners lie more than a thousandth of a pixel
// apart, or both have a CRS and the CRSs differ. Otherwise the first's
// world file and CRS, each taken from the second when the first has none.
std::optional<Georeference> shared_georeference(const Georeference& first, const Georeference& second, int width,
                                                int height);
