#include "geo_output.h"

#include "envi_map_info.h"
#include "file.h"
#include "sidecar_names.h"
#include "standard_world_file.h"

#include <algorithm>

#if SUITE_HAVE_GDAL
#include "crs.h"
#include "envi_georeferencing.h"
#endif

std::vector<std::string> raster_sidecars(const std::string& output, const Georeference& georeference)
{
    std::vector<std::string> sidecars;
    if (georeference.placed()) sidecars.push_back(with_extension(output, "wld"));
    if (!georeference.crs.empty()) sidecars.push_back(with_extension(output, "prj"));
    return sidecars;
}

std::vector<std::string> shapefile_sidecars(const std::string& nome, const Georeference& georeference)
{
    if (georeference.crs.empty()) return {};
    return {nome + ".prj"};
}

std::optional<OutputProblem> add_sidecar_outputs(OutputFiles& outputs, const std::vector<std::string>& sidecars)
{
    for (const std::string& sidecar : sidecars)
        if (auto problem = outputs.add_output(sidecar)) return problem;
    return std::nullopt;
}

std::optional<OutputProblem> add_sidecar_outputs(OutputFiles& outputs, std::vector<std::string>& sidecars,
                                                 const std::vector<std::string>& sources)
{
    std::vector<std::string> written;
    for (const std::string& sidecar : sidecars) {
        if (auto problem = outputs.add_output(sidecar)) {
            const bool source = problem->kind == OutputProblem::Kind::overwrites_input &&
                                std::find(sources.begin(), sources.end(), problem->other) != sources.end();
            if (!source) return problem;
        } else {
            written.push_back(sidecar);
        }
    }
    sidecars = std::move(written);
    return std::nullopt;
}

namespace {

GeoProblem write_crs(const std::string& path, const std::string& crs)
{
#if SUITE_HAVE_GDAL
    return write_prj_file(path, crs);
#else
    // Without GDAL the ".prj" read beside the input is carried over as it
    // stands.
    WrittenFile file(path);
    file.write(crs);
    if (const std::error_code error = file.finish())
        return {GeoProblem::Kind::write_failed, path, error.message()};
    return {};
#endif
}

}  // namespace

std::optional<SidecarProblem> write_sidecars(OutputFiles& outputs, const std::vector<std::string>& sidecars,
                                             const Georeference& georeference)
{
    for (const std::string& sidecar : sidecars) {
        const OutputFiles::Temporary temporary = outputs.temporary(sidecar);
        if (temporary.problem) return SidecarProblem{sidecar, temporary.problem->message()};
        const GeoProblem problem = name_extension(sidecar) == "wld"
                                       ? write_standard_world_file(temporary.path, georeference.world)
                                       : write_crs(temporary.path, georeference.crs);
        if (problem) return SidecarProblem{sidecar, problem.reason()};
    }
    return std::nullopt;
}

GeoProblem envi_georeference_lines(const Georeference& georeference, std::vector<std::string>& lines)
{
    lines.clear();
    if (!georeference.placed()) return {};
#if SUITE_HAVE_GDAL
    // Without a CRS the lines need no GDAL: "map info" with an "Arbitrary"
    // projection, as below.
    if (!georeference.crs.empty()) return envi_georeferencing_lines(georeference.world, georeference.crs, lines);
#endif
    std::string line;
    if (GeoProblem problem = envi_map_info(georeference.world, EnviProjection{}, line)) return problem;
    lines.push_back(line);
    return {};
}
