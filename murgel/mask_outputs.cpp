#include "mask_outputs.h"

#include "geo_output.h"
#include "raw.h"

#if SUITE_HAVE_GDAL
#include "geotiff_writer.h"
#endif

#include <cstdio>

namespace {

bool as_geotiff(const MurgelRun& run)
{
    return run.choices.format == OutputFormat::gtiff;
}

bool as_raw(const MurgelRun& run)
{
    return run.result_typology == "raw";
}

std::string mask_raster(const MurgelRun& run, const std::string& base)
{
    return base + (as_geotiff(run) ? ".tif" : as_raw(run) ? ".raw" : ".bmp");
}

std::error_code temporary_reason(const OutputProblem& problem)
{
    return problem.error ? problem.error : std::make_error_code(std::errc::file_exists);
}

// The temporaries of `files`, in order; none after the first that cannot be
// made (`failure` then names it).
std::vector<std::string> temporaries(MurgelRun& run, const std::vector<std::string>& files,
                                     std::optional<MaskWriteFailure>& failure)
{
    std::vector<std::string> paths;
    for (const std::string& file : files) {
        const OutputFiles::Temporary temporary = run.outputs.temporary(file);
        if (temporary.problem) {
            failure = MaskWriteFailure{file, temporary_reason(*temporary.problem), {}};
            return {};
        }
        paths.push_back(temporary.path);
    }
    return paths;
}

std::optional<MaskWriteFailure> write_raw(MurgelRun& run, const std::vector<std::string>& files,
                                          const std::vector<std::string>& paths, const std::string& base)
{
    if (const auto problem = raw_8bit_create({paths[0], paths[1]}, run.Immagine, run.mask_file)) {
        if (problem->error == std::errc::not_enough_memory)
            std::fputs("Error in memory allocation\n", stdout);
        else
            std::fputs(problem->in_header ? "\nError in writing .dim file\n" : "\nError in writing raw image\n", stdout);
        run.console.wait_for_key();
        return MaskWriteFailure{files[problem->in_header ? 1 : 0], problem->error, {}};
    }
    EnviHeaderOptions header{1, {}};
    if (const GeoProblem problem = envi_georeference_lines(run.georeference, header.extra_lines))
        return MaskWriteFailure{files[2], {}, problem.reason()};
    const int W = run.Immagine.width() - 2, H = run.Immagine.height() - 2;
    if (const std::error_code error = write_envi_header(paths[2], envi_description_of(base), W, H, header))
        return MaskWriteFailure{files[2], error, {}};
    return std::nullopt;
}

std::optional<MaskWriteFailure> write_bmp(MurgelRun& run, const std::vector<std::string>& files,
                                          const std::vector<std::string>& paths)
{
    const std::error_code error = bmp_256_create(paths[0], run.Immagine, run.mask_file, run.check_bmp_raw);
    if (!error) return std::nullopt;
    if (error == std::errc::not_enough_memory) {
        std::fputs("\nError in opening bmp image\n", stdout);
        run.console.wait_for_key();
    }
    return MaskWriteFailure{files[0], error, {}};
}

std::optional<MaskWriteFailure> write_tif(MurgelRun& run, const std::vector<std::string>& files,
                                          const std::vector<std::string>& paths)
{
#if SUITE_HAVE_GDAL
    // What the BMP would hold: the input's palette for a BMP input, else the
    // grey one; the mask form's indices.
    if (!run.check_bmp_raw) run.mask_file.palette = grey_palette();
    const MaskIndices indices = mask_indices(run.mask_file);
    const int W = run.Immagine.width() - 2, H = run.Immagine.height() - 2;
    Grid<std::uint8_t> image(W, H);
    for (int y = 0; y < H; ++y) {
        const std::uint8_t* src = run.Immagine.row(y + 1) + 1;
        std::uint8_t* out = image.row(y);
        for (int x = 0; x < W; ++x) out[x] = src[x] == 1 ? indices.foreground : indices.background;
    }
    const RasterGeoreferencing georeferencing{run.georeference.world, run.georeference.crs, std::nullopt};
    if (const GeoProblem problem =
            write_geotiff(paths[0], image, RowOrder::top_first, run.mask_file.palette, georeferencing))
        return MaskWriteFailure{files[0], {}, problem.reason()};
    return std::nullopt;
#else
    (void)run;
    (void)paths;
    return MaskWriteFailure{files[0], {}, "this build writes no GeoTIFF"};
#endif
}

}  // namespace

std::vector<std::string> mask_files(const MurgelRun& run, const std::string& base)
{
    if (!as_geotiff(run) && as_raw(run)) return {base + ".raw", base + ".dim", base + ".hdr"};
    return {mask_raster(run, base)};
}

std::vector<std::string> mask_sidecars(const MurgelRun& run, const std::string& base)
{
    if (as_geotiff(run)) return {};
    return raster_sidecars(mask_raster(run, base), run.georeference);
}

std::optional<MaskWriteFailure> write_mask_files(MurgelRun& run, const std::string& base)
{
    const std::vector<std::string> files = mask_files(run, base);
    std::optional<MaskWriteFailure> failure;
    const std::vector<std::string> paths = temporaries(run, files, failure);
    if (failure) return failure;
    failure = as_geotiff(run) ? write_tif(run, files, paths)
              : as_raw(run)   ? write_raw(run, files, paths, base)
                              : write_bmp(run, files, paths);
    if (failure) return failure;
    if (const auto problem = write_sidecars(run.outputs, mask_sidecars(run, base), run.georeference))
        return MaskWriteFailure{problem->path, {}, problem->reason};
    return std::nullopt;
}
