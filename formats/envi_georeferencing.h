// The georeferencing lines of an ENVI header for a georeferenced raster, in
// the forms GDAL's ENVI driver writes and reads: "map info" (envi_map_info.h)
// with the projection named as ENVI names it (UTM with zone and hemisphere,
// "Geographic Lat/Lon", else "Arbitrary"), and "coordinate system string"
// holding the CRS as ESRI WKT.
#pragma once

#include "envi_map_info.h"
#include "geo_problem.h"
#include "world_file.h"

#include <string>
#include <vector>

// The projection fields of "map info" for a CRS (WKT; empty: "Arbitrary").
EnviProjection envi_projection(const std::string& crs_wkt);

// "map info = {...}" and, when the CRS is given, "coordinate system string
// = {...}". A world file envi_map_info refuses, or a CRS text that is no
// CRS, is a problem.
GeoProblem envi_georeferencing_lines(const WorldFile& world, const std::string& crs_wkt,
                                     std::vector<std::string>& lines);
