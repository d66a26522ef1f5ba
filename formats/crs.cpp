#include "crs.h"
#include "spatial_reference.h"

#include "file.h"
#include "gdal_session.h"
#include "sidecar_names.h"

#include <cpl_conv.h>
#include <cpl_string.h>
#include <ogr_spatialref.h>

#include <memory>

namespace {

// The CRS as WKT of the given FORMAT; empty when it has no such form.
std::string exported(const OGRSpatialReference& srs, const char* format)
{
    char* wkt = nullptr;
    const std::string option = std::string("FORMAT=") + format;
    const char* const options[] = {option.c_str(), nullptr};
    std::string text;
    if (srs.exportToWkt(&wkt, options) == OGRERR_NONE && wkt) text = wkt;
    CPLFree(wkt);
    return text;
}

}  // namespace

std::string wkt_of(const OGRSpatialReference& srs)
{
    return srs.IsEmpty() ? std::string() : exported(srs, "WKT2_2019");
}

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
            OGRERR_NONE)
        return capture.problem(GeoProblem::Kind::bad_crs, "");
    return {};
}

GeoProblem read_prj_file(const std::string& path, std::string& crs_wkt)
{
    GdalErrorCapture capture;
    if (!open_file(path, "rb")) return {GeoProblem::Kind::cannot_open, path};
    const CPLStringList lines(CSLLoad(path.c_str()));
    OGRSpatialReference srs;
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    if (lines.empty() || srs.importFromESRI(const_cast<char**>(lines.List())) != OGRERR_NONE || srs.IsEmpty())
        return capture.problem(GeoProblem::Kind::bad_crs, path);
    struct Releaser {
        void operator()(OGRSpatialReference* srs) const { srs->Release(); }
    };
    const std::unique_ptr<OGRSpatialReference, Releaser> match(srs.FindBestMatch());
    std::string wkt = wkt_of(match ? *match : srs);
    if (wkt.empty()) return capture.problem(GeoProblem::Kind::bad_crs, path);
    crs_wkt = std::move(wkt);
    return {};
}

GeoProblem esri_wkt(const std::string& crs_wkt, std::string& esri)
{
    OGRSpatialReference srs;
    if (GeoProblem problem = parse_crs(crs_wkt, srs)) return problem;
    GdalErrorCapture capture;
    std::string text = exported(srs, "WKT1_ESRI");
    if (text.empty()) return capture.problem(GeoProblem::Kind::bad_crs, "");
    esri = std::move(text);
    return {};
}

GeoProblem write_prj_file(const std::string& path, const std::string& crs_wkt)
{
    std::string esri;
    if (GeoProblem problem = esri_wkt(crs_wkt, esri)) return problem;
    WrittenFile file(path);
    file.write(esri);
    if (const std::error_code error = file.finish()) return {GeoProblem::Kind::write_failed, path, error.message()};
    return {};
}

bool same_crs(const std::string& first, const std::string& second)
{
    if (first == second) return true;
    OGRSpatialReference a, b;
    return !parse_crs(first, a) && !parse_crs(second, b) && a.IsSame(&b);
}
