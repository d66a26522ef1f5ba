#include "filtra.h"

#include "blob_passes.h"
#include "direction_table.h"
#include "exit_status.h"
#include "file.h"
#include "line_mask_cleanup.h"
#include "program_main.h"
#include "raw.h"
#include "segment_extraction.h"
#include "thresholds.h"
#include "tile_share.h"
#include "transforms.h"
#include "visit_marks.h"
#include "work_items.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <optional>
#include <vector>

namespace {

// Radii worked in one pass of the transforms. Each costs three bytes per
// pixel until its blob passes are done.
constexpr std::size_t radii_per_pass = 8;

// The progress marks printed at the start of row y of the transforms.
void print_row_progress(int y, int ydim)
{
    if (y % 10 == 0 && y != 0) std::printf(".");
    if (y % 50 == 0) {
        const float percent = static_cast<float>(y) * 100.0f / static_cast<float>(ydim);
        std::printf(" %.0f%% ", static_cast<double>(percent));
        std::fflush(stdout);
    }
}

void print_transform_header(int raggio)
{
    std::printf("\nCalcolo trasformate (raggio = %d):\n", raggio);
}

// The console lines of one radius after its transforms; a radius after the
// first of its pass was worked in the same sweep, so its progress runs at
// once.
void print_radius_lines(int raggio, bool first_of_pass, int height)
{
    if (!first_of_pass) {
        print_transform_header(raggio);
        for (int y = 0; y < height; ++y) print_row_progress(y, height);
    }
    std::printf(" 100%% COMPLETED\n");
    std::printf("\n");
    std::printf("\n");
    std::printf("Sogliatura della trasformata angolare:");
    std::printf(" 100%% COMPLETED\n");
    std::printf("Sogliatura della trasformata minima-radianza:");
    std::printf(" 100%% COMPLETED\n");
    std::printf("Sogliatura della trasformata scarto-radianza:");
    std::printf(" 100%% COMPLETED\n");
    std::fflush(stdout);
}

// The planes one radius is worked in after its transforms: the three
// threshold masks (the combined mask takes the angular mask's place) and the
// blob passes' marks.
struct RadiusPlanes {
    Grid<std::uint8_t> maschera_ang, maschera_minrad, maschera_varrad;
    VisitMarks marks;
    std::vector<Point> punto;

    RadiusPlanes(int width, int height)
        : maschera_ang(width, height, 255),
          maschera_minrad(width, height, 255),
          maschera_varrad(width, height, 255),
          marks(width, height)
    {
    }
};

// Scaling, thresholds and blob passes of one radius; leaves its candidate
// mask, with the lines labelled 10, in planes.maschera_ang.
void threshold_radius(const Grid<std::uint8_t>& immagine, RadiusTransforms& t, const VorlixParameters& p,
                      const FilterWork& work, RadiusPlanes& planes, TileShare* tile)
{
    const int threads = work.threads;
    if (tile) tile->take_maxima(t);
    scale_transforms(t);
    const RadiusThresholds s = thresholds_for_radius(t.raggio, p);
    const int Q = p.par_quadrosoglia;
    const int h = Q / 2;
    planes.maschera_ang.fill(255);
    planes.maschera_minrad.fill(255);
    planes.maschera_varrad.fill(255);
    angular_threshold(t.direzione, Q, s.soglia_ang, s.tolleranza, planes.maschera_ang, work);
    minimum_radiance_threshold(t.minima_radianza, h, s.soglia_min, planes.maschera_minrad, threads);
    radiance_deviation_threshold(t.scarto_radianza, h, s.soglia_var, planes.maschera_varrad, threads);

    Grid<std::uint8_t>& maschera_comb = planes.maschera_ang;
    combine_masks(planes.maschera_ang, planes.maschera_minrad, planes.maschera_varrad, maschera_comb);
    remove_small_blobs(maschera_comb, p.par_min_blob, planes.marks);
    GlobalMeans means = global_means(maschera_comb, immagine, t.minima_radianza, t.scarto_radianza);
    if (tile) means = tile->take_means(t.raggio, maschera_comb, immagine, t, means);
    reclassify_blobs(maschera_comb, immagine, t.minima_radianza, t.scarto_radianza, p, means, planes.marks,
                     planes.punto);
}

// A tile that measures or is given the whole image's statistics notes them
// radius by radius, in order.
bool shares_statistics(const TileShare* tile)
{
    return tile && (tile->core || !tile->given.empty());
}

}  // namespace

Grid<std::uint8_t> detect_lines(const Grid<std::uint8_t>& immagine, const VorlixParameters& p, const FilterWork& work,
                                TileShare* tile)
{
    const int width = immagine.width();
    const int height = immagine.height();
    Grid<std::uint8_t> finale(width, height, 255);
    if (parameters_problem(p)) return finale;  // the driver refuses such parameters
    if (!shares_statistics(tile)) tile = nullptr;
    // Made once the first transforms are done: the transforms' working
    // copies of the image are gone by then, which keeps the peak lower. The
    // second set, for a second radius worked beside the first, once the
    // first radius of the pass has given up its transforms.
    std::optional<RadiusPlanes> planes[2];
    std::mutex finale_lock;

    // The radii in loop order, taken a pass at a time (64-bit steps: the
    // loop must end even next to the int limit).
    long long r = p.par_min_raggio;
    while (r <= p.par_max_raggio) {
        std::vector<int> raggi;
        for (; r <= p.par_max_raggio && raggi.size() < radii_per_pass; r += p.par_step_raggio)
            raggi.push_back(static_cast<int>(r));

        print_transform_header(raggi.front());
        const DirectionTable table(direction_table_radius(raggi.back(), width, height));
        std::vector<RadiusTransforms> transforms =
            compute_transforms(immagine, raggi, table, [&](int y) { print_row_progress(y, height); }, work);
        if (!planes[0]) planes[0].emplace(width, height);
        const int count = static_cast<int>(raggi.size());

        // The first radius on every thread; the others two at a time when
        // there are threads for it (each radius' blob passes are one long
        // walk), else one after the other. The lines of all radii are
        // gathered in `finale` in any order: a pixel is a line when any
        // radius finds it.
        const bool side_by_side = work.threads >= 2 && !tile && count > 1;
        auto work_radius = [&](int i, int set, const FilterWork& how) {
            threshold_radius(immagine, transforms[i], p, how, *planes[set], tile);
            transforms[i] = RadiusTransforms();  // its planes are no longer needed
            const std::lock_guard<std::mutex> hold(finale_lock);
            accumulate_lines(planes[set]->maschera_ang, finale);
        };
        print_radius_lines(raggi[0], true, height);
        work_radius(0, 0, work);
        if (side_by_side) {
            if (!planes[1]) planes[1].emplace(width, height);
            FilterWork one_thread = work;
            one_thread.threads = 1;
            run_items(
                count - 1, 2, [&](int item, int worker) { work_radius(item + 1, worker, one_thread); },
                [&](int item) { print_radius_lines(raggi[item + 1], false, height); });
        } else {
            for (int i = 1; i < count; ++i) {
                print_radius_lines(raggi[i], false, height);
                work_radius(i, 0, work);
            }
        }
    }
    return finale;
}

namespace {

std::error_code write_segments_file(const std::string& name, const std::vector<ExtractedSegment>& segmenti_estratti)
{
    WrittenFile file(name);
    if (!file.good()) return file.finish();
    for (const ExtractedSegment& s : segmenti_estratti)
        std::fprintf(file.get(), "%5d %5d %5d %5d %5.2f\r\n", s.x1, s.y1, s.x2, s.y2, s.punteggio);
    return file.finish();
}

bool all_zero(const Grid<std::uint8_t>& image)
{
    const std::vector<std::uint8_t>& cells = image.cells();
    return std::all_of(cells.begin(), cells.end(), [](std::uint8_t v) { return v == 0; });
}

void print_cannot_read(const std::string& name)
{
    std::printf("\n\nImpossibile aprire il file <%s> in lettura\n", name.c_str());
}

// A file of the run that could not be made or written: the message naming
// it as the user knows it, then the file and the reason.
int cannot_write(const char* name, const std::string& path, const std::error_code& error)
{
    std::printf("\n\nImpossibile aprire il file <%s> in scrittura\n", name);
    report_write_failure(path, error ? error : std::make_error_code(std::errc::file_exists));
    return exit_status::error;
}

// With --line-mask, the cleaned line mask (0 = line, 255 = background), one
// byte per pixel, rows from the top.
std::optional<int> write_line_mask(VorlixRun& run, const Grid<std::uint8_t>& mask)
{
    if (run.line_mask.empty()) return std::nullopt;
    const OutputFiles::Temporary out = run.outputs.temporary(run.line_mask);
    const std::error_code error = out.problem ? out.problem->error : write_raw_bytes(out.path, mask);
    if (out.problem || error) return cannot_write(run.line_mask.c_str(), run.line_mask, error);
    return std::nullopt;
}

// A measuring run of a tile writes its share of the whole image's
// statistics instead of segments (none for an image of zeros, where nothing
// is worked).
std::optional<int> write_tile_statistics(VorlixRun& run)
{
    const OutputFiles::Temporary out = run.outputs.temporary(run.statistics_out);
    const std::error_code error = out.problem ? out.problem->error : write_statistics(out.path, run.tile.measured);
    if (out.problem || error) return cannot_write(run.statistics_out.c_str(), run.statistics_out, error);
    std::printf("\n\n### END ###\n");
    return std::nullopt;
}

}  // namespace

std::optional<int> filtra(VorlixRun& run)
{
    Grid<std::uint8_t> immagine;
    if (!read_image(run, immagine)) {
        print_cannot_read(run.nomefilein);
        return exit_status::error;
    }

    std::vector<ExtractedSegment> segmenti_estratti;
    if (!run.statistics_out.empty() && all_zero(immagine)) return write_tile_statistics(run);
    if (!all_zero(immagine)) {
        Grid<std::uint8_t> finale = detect_lines(immagine, run.parameters, FilterWork{run.threads}, &run.tile);
        if (!run.statistics_out.empty()) return write_tile_statistics(run);
        std::printf("\nScrittura files...\n");
        // The mask goes through a working file of this run alone.
        const OutputFiles::Temporary working = run.outputs.scratch(working_file_name);
        if (working.problem) return cannot_write(working_file_name, working_file_name, working.problem->error);
        if (const std::error_code error = write_raw_bytes(working.path, finale))
            return cannot_write(working_file_name, working.path, error);
        if (!read_raw_bytes(working.path, finale.cells().size(), finale.cells())) {
            print_cannot_read(working_file_name);
            return exit_status::error;
        }
        immagine = std::move(finale);  // from here on the line mask

        VisitMarks marks(immagine.width(), immagine.height());
        clean_line_mask(immagine, marks);
        marks = VisitMarks();
        if (const auto status = write_line_mask(run, immagine)) return status;
        segmenti_estratti = extract_segments(
            immagine,
            [](const ExtractedSegment& s) {
                std::printf("\nESTRATTO SEGMENTO: %d %d %d %d", s.x1, s.y1, s.x2, s.y2);
                std::fflush(stdout);
            },
            run.threads);
    } else if (const auto status = write_line_mask(run, Grid<std::uint8_t>(immagine.width(), immagine.height(), 255))) {
        return status;
    }

    const OutputFiles::Temporary segments = run.outputs.temporary(run.nomefileout);
    if (segments.problem) return cannot_write(segments_file_name, run.nomefileout, segments.problem->error);
    if (const std::error_code error = write_segments_file(segments.path, segmenti_estratti))
        return cannot_write(segments_file_name, run.nomefileout, error);
    const OutputFiles::Temporary marker = run.outputs.temporary(marker_file_name);
    if (marker.problem) return cannot_write(marker_file_name, marker_file_name, marker.problem->error);
    std::printf("\n\n### END ###\n");
    return std::nullopt;
}
