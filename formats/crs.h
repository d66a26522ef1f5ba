// Coordinate reference systems, carried between the readers and writers as
// WKT text (any form GDAL reads; the readers give WKT2), empty for none:
// the ".prj" beside a data file, ESRI WKT for ".prj" files written, and the
// ENVI header's "coordinate system string".
#pragma once

#include "geo_problem.h"

#include <optional>
#include <string>

// The ".prj" beside a data file (plan.bmp: plan.prj, or plan.PRJ); none
// when there is none.
std::optional<std::string> find_prj_file(const std::string& data_path);

// Reads a ".prj" (ESRI WKT, or any CRS text GDAL reads) into WKT2. A CRS
// that matches a registered one (an EPSG code) is taken as that one, as
// GDAL's shapefile reader does. A file that does not open or whose text is
// no CRS is a problem.
GeoProblem read_prj_file(const std::string& path, std::string& crs_wkt);

// The CRS as ESRI WKT (one line), the form of ".prj" files.
GeoProblem esri_wkt(const std::string& crs_wkt, std::string& esri);

// Writes the CRS as a ".prj" file: its ESRI WKT, with no line end (as GDAL
// writes one).
GeoProblem write_prj_file(const std::string& path, const std::string& crs_wkt);

// Whether two CRS texts name the same system (the same text, or parsed,
// the same definition); a text that is no CRS matches none.
bool same_crs(const std::string& first, const std::string& second);
