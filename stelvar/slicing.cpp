#include "stelvar.h"

#include "bmp_file.h"
#include "bmp.h"
#include "exit_status.h"
#include "geo_output.h"
#include "program_main.h"

#if SUITE_HAVE_GDAL
#include "geotiff_writer.h"
#endif

#include <cstdio>
#include <cstring>
#include <new>

int controllo(StelvarRun& run, const BmpHead& head)
{
    if (head[0] == 'B' && head[1] == 'M' && head[28] == 8) return 0;
    std::printf("\nError in BMP format");
    run.console.wait_for_key();
    return 1;
}

namespace {

// One row of a slice. Kept free of the run state so that the byte stores
// cannot alias the loop bounds and the loops vectorise.
void slice_row(const std::uint8_t* in, std::uint8_t* out, std::size_t width, std::uint8_t level, bool grey)
{
    if (grey)
        for (std::size_t x = 0; x < width; ++x) out[x] = in[x] <= level ? in[x] : 255;
    else
        for (std::size_t x = 0; x < width; ++x) out[x] = in[x] <= level ? 0 : 255;
}

}  // namespace

void slice(const StelvarRun& run, int r, std::uint8_t* out)
{
    const bool grey = run.p == 's';
    const long long t = run.attuale;
    const std::size_t width = static_cast<std::size_t>(run.width);
    const std::uint8_t* in = run.Immagine_bn.row(run.height - 1 - r);
    if (t < 0)
        std::memset(out, 255, width);
    else if (t >= 255 && grey)
        std::memcpy(out, in, width);
    else if (t >= 255)
        std::memset(out, 0, width);
    else
        slice_row(in, out, width, static_cast<std::uint8_t>(t), grey);
}

namespace {

bool as_geotiff(const StelvarRun& run)
{
    return run.choices.format == OutputFormat::gtiff;
}

// The ".wld" and ".prj" of a slice of a georeferenced input (none for a
// GeoTIFF, which holds both).
std::vector<std::string> slice_sidecars(const StelvarRun& run, long long threshold)
{
    if (as_geotiff(run)) return {};
    return raster_sidecars(slice_name(run, threshold), run.georeference);
}

}  // namespace

std::string slice_name(const StelvarRun& run, long long threshold)
{
    return run.named("threshold_" + std::to_string(threshold) + (as_geotiff(run) ? ".tif" : ".bmp"));
}

namespace {

// The slice `name` (or its sidecar) could not be written, for `reason`.
template <typename Reason>
int slice_not_written(StelvarRun& run, const std::string& name, const Reason& reason)
{
    std::printf("\nError in creating bmp file\n");
    report_write_failure(name, reason);
    run.console.wait_for_key();
    return exit_status::error;
}

// The slice at `attuale` as a Byte GeoTIFF with the grey palette, placed as
// the input; GDAL's reason when it could not be written. Throws
// std::bad_alloc when the slice cannot be held.
std::string write_slice_geotiff(const StelvarRun& run, const std::string& path)
{
#if SUITE_HAVE_GDAL
    Grid<std::uint8_t> image(run.width, run.height);
    for (int y = 0; y < run.height; ++y) slice(run, run.height - 1 - y, image.row(y));
    const RasterGeoreferencing georeferencing{run.georeference.world, run.georeference.crs, std::nullopt};
    if (const GeoProblem problem = write_geotiff(path, image, RowOrder::top_first, grey_palette(), georeferencing))
        return problem.reason();
    return {};
#else
    (void)run;
    (void)path;
    return "this build writes no GeoTIFF";
#endif
}

}  // namespace

std::optional<int> declare_slices(StelvarRun& run)
{
    const std::string input = run.named(run.nome_input);
    run.outputs.add_input(input);
    for (const std::string& file : georeference_files(input)) run.outputs.add_input(file);
    for (long long t = run.soglia_min; t <= run.soglia_max; t += run.step) {
        std::vector<std::string> files = slice_sidecars(run, t);
        files.insert(files.begin(), slice_name(run, t));
        for (const std::string& file : files) {
            const auto problem = run.outputs.add_output(file);
            if (!problem) continue;
            if (problem->kind == OutputProblem::Kind::is_folder)
                return slice_not_written(run, problem->output, std::make_error_code(std::errc::is_a_directory));
            report_output_problem(*problem);
            run.console.wait_for_key();
            return exit_status::error;
        }
    }
    return std::nullopt;
}

std::optional<int> bmp(StelvarRun& run)
{
    const std::string name = slice_name(run, run.attuale);
    const OutputFiles::Temporary temporary = run.outputs.temporary(name);
    if (temporary.problem)
        return slice_not_written(run, name,
                                 temporary.problem->error ? temporary.problem->error
                                                          : std::make_error_code(std::errc::file_exists));
    std::error_code error;
    std::string reason;
    try {
        if (as_geotiff(run)) {
            reason = write_slice_geotiff(run, temporary.path);
        } else {
            if (run.slice_head.empty()) run.slice_head = slice_file_head(run.head, run.width, run.height);
            error = write_bmp_file(temporary.path, run.slice_head, run.width, run.height,
                                   [&](int r, unsigned char* out) { slice(run, r, out); });
        }
    } catch (const std::bad_alloc&) {
        std::printf("\nerror in memory allocation\n");
        run.console.wait_for_key();
        return exit_status::failure;
    }
    if (error) return slice_not_written(run, name, error);
    if (!reason.empty()) return slice_not_written(run, name, reason);
    if (const auto problem = write_sidecars(run.outputs, slice_sidecars(run, run.attuale), run.georeference))
        return slice_not_written(run, problem->path, problem->reason);
    return std::nullopt;
}
