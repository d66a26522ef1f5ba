#include "height_outputs.h"

#include "exit_status.h"
#include "geo_output.h"
#include "program_main.h"
#include "raw.h"

#if SUITE_HAVE_GDAL
#include "geotiff_writer.h"
#endif

#include <cstdio>

namespace {

bool as_geotiff(const TalvernRun& run)
{
    return run.choices.format == OutputFormat::gtiff;
}

std::string samples_name(const TalvernRun& run)
{
    return run.nome_output_path + (as_geotiff(run) ? ".tif" : ".raw");
}

// The output `file` could not be written, for `reason`.
int not_written(TalvernRun& run, const std::string& file, const std::string& reason)
{
    std::printf("\nError in writing %s image\n", run.nome_output_path.c_str());
    report_write_failure(file, reason);
    run.console.wait_for_key();
    return exit_status::error;
}

std::optional<int> write_raw(TalvernRun& run)
{
    const RasterFiles final_names{samples_name(run), run.nome_output_path + ".hdr"};
    std::vector<std::string> header_lines;
    if (const GeoProblem problem = envi_georeference_lines(run.georeference, header_lines))
        return not_written(run, final_names.header, problem.reason());
    const OutputFiles::Temporary samples = run.outputs.temporary(final_names.samples);
    if (samples.problem) return not_written(run, final_names.samples, samples.problem->error.message());
    const OutputFiles::Temporary header = run.outputs.temporary(final_names.header);
    if (header.problem) return not_written(run, final_names.header, header.problem->error.message());
    if (const auto written = raw_32bit_create({samples.path, header.path}, run.nome_output_path, run.Matrice_raise,
                                              run.Matrice_building, run.colori_building[0], header_lines))
        return not_written(run, written->in_header ? final_names.header : final_names.samples,
                           written->error.message());
    if (const auto problem = write_sidecars(run.outputs, height_sidecars(run), run.georeference))
        return not_written(run, problem->path, problem->reason);
    return std::nullopt;
}

std::optional<int> write_tif(TalvernRun& run)
{
#if SUITE_HAVE_GDAL
    const std::string file = samples_name(run);
    const OutputFiles::Temporary temporary = run.outputs.temporary(file);
    if (temporary.problem) return not_written(run, file, temporary.problem->error.message());
    keep_building_heights(run.Matrice_raise, run.Matrice_building, run.colori_building[0]);
    const RasterGeoreferencing georeferencing{run.georeference.world, run.georeference.crs, 0.0};
    if (const GeoProblem problem = write_geotiff(temporary.path, run.Matrice_raise, RowOrder::bottom_first, georeferencing))
        return not_written(run, file, problem.reason());
    return std::nullopt;
#else
    return not_written(run, samples_name(run), "this build writes no GeoTIFF");
#endif
}

}  // namespace

std::vector<std::string> height_files(const TalvernRun& run)
{
    if (as_geotiff(run)) return {samples_name(run)};
    return {samples_name(run), run.nome_output_path + ".hdr"};
}

std::vector<std::string> height_sidecars(const TalvernRun& run)
{
    if (as_geotiff(run)) return {};
    return raster_sidecars(samples_name(run), run.georeference);
}

std::optional<int> write_heights(TalvernRun& run)
{
    return as_geotiff(run) ? write_tif(run) : write_raw(run);
}
