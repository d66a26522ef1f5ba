// What places a run's outputs on the ground, beside the files the programs
// have always written: for a raster output (BMP, RAW) of a placed run a standard world
// file (".wld", centre of the top-left pixel, as GDAL and QGIS read it; the
// suite reads it back the same), and for every raster and shapefile output
// the CRS as a ".prj" (ESRI WKT) when the run knows it; the georeferencing
// lines of an ENVI header.
#pragma once

#include "geo_input.h"
#include "output_files.h"

#include <optional>
#include <string>
#include <system_error>
#include <vector>

// The sidecar files of a raster output, named after it ("heights.raw":
// "heights.wld", "heights.prj"); none when the run is not placed and has no
// CRS.
std::vector<std::string> raster_sidecars(const std::string& output, const Georeference& georeference);

// The sidecar of a shapefile "<nome>.shp": "<nome>.prj" when the CRS is known.
std::vector<std::string> shapefile_sidecars(const std::string& nome, const Georeference& georeference);

// Adds the sidecars to the run's outputs.
std::optional<OutputProblem> add_sidecar_outputs(OutputFiles& outputs, const std::vector<std::string>& sidecars);

// The same, except that a sidecar that is one of `sources` (inputs of the
// run, the files its georeference was read from: a segments file's ".prj"
// beside the output of the same name) already says what it would say: it is
// taken out of `sidecars` and left as it is.
std::optional<OutputProblem> add_sidecar_outputs(OutputFiles& outputs, std::vector<std::string>& sidecars,
                                                 const std::vector<std::string>& sources);

// Which sidecar could not be written, and why.
struct SidecarProblem {
    std::string path;
    std::string reason;
};

// Writes each sidecar (by its extension: ".wld" or ".prj") into its
// temporary.
std::optional<SidecarProblem> write_sidecars(OutputFiles& outputs, const std::vector<std::string>& sidecars,
                                             const Georeference& georeference);

// The lines a placed run adds to an ENVI header: "map info" and, when the
// CRS is known and this build can express it, "coordinate system string".
// None for a run that is not placed.
GeoProblem envi_georeference_lines(const Georeference& georeference, std::vector<std::string>& lines);
