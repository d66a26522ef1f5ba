// CRS texts to and from GDAL's spatial references, for the code that hands
// them to GDAL (crs.h holds what the rest of the suite uses).
#pragma once

#include "geo_problem.h"

#include <string>

class OGRSpatialReference;

// The CRS as WKT2, the form the readers hand out; empty when it is empty.
std::string wkt_of(const OGRSpatialReference& srs);

// Fills `srs` from the WKT (traditional GIS axis order: x easting or
// longitude); a text that is no CRS is a problem.
GeoProblem parse_crs(const std::string& crs_wkt, OGRSpatialReference& srs);
