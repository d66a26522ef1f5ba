#include "envi_georeferencing.h"

#include "crs.h"
#include "spatial_reference.h"

#include <ogr_spatialref.h>

EnviProjection envi_projection(const std::string& crs_wkt)
{
    EnviProjection projection;
    OGRSpatialReference srs;
    if (crs_wkt.empty() || parse_crs(crs_wkt, srs)) return projection;
    const char* datum = srs.GetAttrValue("DATUM");
    const bool wgs84 = datum && (EQUAL(datum, "WGS_1984") || EQUAL(datum, "World Geodetic System 1984"));
    int north = 0;
    if (const int zone = srs.GetUTMZone(&north); zone != 0) {
        projection.name = "UTM";
        projection.trailing = {std::to_string(zone), north ? "North" : "South"};
    } else if (srs.IsGeographic()) {
        projection.name = "Geographic Lat/Lon";
    } else {
        return projection;
    }
    if (wgs84) projection.trailing.push_back("WGS-84");
    return projection;
}

GeoProblem envi_georeferencing_lines(const WorldFile& world, const std::string& crs_wkt,
                                     std::vector<std::string>& lines)
{
    std::string map_info;
    if (GeoProblem problem = envi_map_info(world, envi_projection(crs_wkt), map_info)) return problem;
    std::vector<std::string> result{map_info};
    if (!crs_wkt.empty()) {
        std::string esri;
        if (GeoProblem problem = esri_wkt(crs_wkt, esri)) return problem;
        result.push_back("coordinate system string = {" + esri + "}");
    }
    lines = std::move(result);
    return {};
}
