#include "crs.h"

#include "file.h"
#include "gdal_session.h"
#include "sidecar_names.h"

#include <cpl_conv.h>
#include <cpl_string.h>
#include <ogr_spatialref.h>

#include <cstdio>
#include <memory>

std::optional<std::string> find_prj_file(const std::string& data_path)
{
    return first_existing(sidecar_spellings(data_path, "prj"));
}

GeoProblem parse_crs(const std::string& crs_wkt, OGRSpatialReference& srs)
{
    GdalErrorCapture capture;
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    // Text only: no file is opened and no URL fetched for it.
    if (crs_wkt.empty() ||
        srs.SetFromUserInput(crs_wkt.c_str(), OGRSpatialReference::SET_FROM_USER_INPUT_LIMITATIONS_get()) !=
            OGRERR_NONE) {
        const std::size_t shown = 40;
        const std::string start = crs_wkt.size() > shown ? crs_wkt.substr(0, shown) + "..." : crs_wkt;
        return capture.problem(GeoProblemKind::bad_crs, "the CRS '" + start + "' cannot be read");
    }
    return {};
}

GeoProblem read_prj_file(const std::string& path, std::string& crs_wkt)
{
    GdalErrorCapture capture;
    const CPLStringList lines(CSLLoad(path.c_str()));
    if (lines.empty() && !open_file(path, "rb"))
        return geo_problem(GeoProblemKind::cannot_open, "cannot open '" + path + "'");
    OGRSpatialReference srs;
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    if (lines.empty() || srs.importFromESRI(const_cast<char**>(lines.List())) != OGRERR_NONE || srs.IsEmpty())
        return capture.problem(GeoProblemKind::bad_crs, "'" + path + "' holds no coordinate reference system");
    struct Releaser {
        void operator()(OGRSpatialReference* srs) const { srs->Release(); }
    };
    const std::unique_ptr<OGRSpatialReference, Releaser> match(srs.FindBestMatch());
    const OGRSpatialReference& found = match ? *match : srs;
    char* wkt = nullptr;
    const char* const options[] = {"FORMAT=WKT2_2019", nullptr};
    const bool ok = found.exportToWkt(&wkt, options) == OGRERR_NONE && wkt;
    if (ok) crs_wkt = wkt;
    CPLFree(wkt);
    if (!ok) return capture.problem(GeoProblemKind::bad_crs, "'" + path + "' holds no coordinate reference system");
    return {};
}

GeoProblem esri_wkt(const std::string& crs_wkt, std::string& esri)
{
    OGRSpatialReference srs;
    if (GeoProblem problem = parse_crs(crs_wkt, srs)) return problem;
    GdalErrorCapture capture;
    char* wkt = nullptr;
    const char* const options[] = {"FORMAT=WKT1_ESRI", nullptr};
    const bool ok = srs.exportToWkt(&wkt, options) == OGRERR_NONE && wkt && *wkt;
    if (ok) esri = wkt;
    CPLFree(wkt);
    if (!ok) return capture.problem(GeoProblemKind::bad_crs, "the CRS has no ESRI form");
    return {};
}

GeoProblem write_prj_file(const std::string& path, const std::string& crs_wkt)
{
    std::string esri;
    if (GeoProblem problem = esri_wkt(crs_wkt, esri)) return problem;
    File file = open_file(path, "wb");
    const bool ok = file && std::fwrite(esri.data(), 1, esri.size(), file.get()) == esri.size();
    if (!(close_written_file(file) && ok)) {
        std::remove(path.c_str());
        return geo_problem(GeoProblemKind::write_failed, "cannot write '" + path + "'");
    }
    return {};
}
