#include "talvern.h"

#include "blob_reshape.h"
#include "blob_search.h"
#include "cell_codes.h"
#include "platform.h"
#include "shadow_statistics.h"
#include "trace_geometry.h"
#include "work_image.h"

#include <cstdio>
#include <new>

namespace {

// Bordered 0/1 masks (row 1 the bottom image row) of the building and the
// shadow colour.
void caricamento_building(const TalvernRun& run, int num, Grid<std::uint8_t>& Immagine)
{
    caricamento(run.Matrice_building, run.colori_building[num], Immagine);
}

void caricamento_shadow(const TalvernRun& run, int num, Grid<std::uint8_t>& Immagine)
{
    caricamento(run.Matrice_shadow, run.colori_shadow[num], Immagine);
}

// Allocates a work image of the doubled extent; false, after the message and
// a key, when the memory is not there.
bool allocate_work_image(Console& console, Grid<std::uint8_t>& image, int width, int height, const char* message)
{
    try {
        image.resize(work_image_extent(width), work_image_extent(height), 0);
        return true;
    } catch (const std::bad_alloc&) {
        image = Grid<std::uint8_t>();
        std::printf("%s", message);
        console.wait_for_key();
        return false;
    }
}

// The progress line "blob in process: <n>": the count is redrawn from this
// column on, on the row the cursor stands on (-1 to gotoxy).
constexpr short progress_column = 17;
constexpr short cursor_row = -1;

// Cells of the shadow image: a shadow pixel is its 2 x 2 cells of 1.
namespace shadow_cell {
constexpr std::uint8_t clear = 0;
constexpr std::uint8_t shadow = 1;
}  // namespace shadow_cell

// What the trace lines across one building found.
struct TraceSamples {
    int lines_hitting_building = 0;  // `numero_test_1`
    int samples_kept = 0;            // `numero_test_2`: shadow lengths kept
    std::vector<float> dist_shadow;  // the lengths, in pixels
};

// Casts the trace lines from lato_1 to lato_2 across the blob in hand (cells
// of 4 in Immagine4) and measures the shadow behind the edge each one hits.
void sample_shadows(const TalvernRun& run, const Grid<std::uint8_t>& Immagine4,
                    const Grid<std::uint8_t>& Immagine4_ombre, const PointList& lato_1, const PointList& lato_2,
                    TraceSamples& samples)
{
    const TalvernParameters& par = run.parameters;
    samples.lines_hitting_building = 0;
    samples.samples_kept = 0;
    samples.dist_shadow.clear();
    const std::size_t n = std::min(lato_1.size(), lato_2.size());
    for (std::size_t k = 0; k < n; ++k) {
        // The building's edge E, met coming from the shadow side.
        const TraceHit edge = scan_tracce(Immagine4, lato_1[k], lato_2[k], cell::taken);
        if (!edge.met()) continue;
        ++samples.lines_hitting_building;
        const Point E = edge.pixel;
        // F, the end of the search, max_dist_search pixels down the sun.
        const Point search_end = estremi_alfa(E, run.sun_azimuth_angle, par.max_dist_search, run.origin);
        // S, the first shadow pixel, near enough to the edge.
        const TraceHit shadow_start = scan_tracce(Immagine4_ombre, E, search_end, shadow_cell::shadow);
        if (!shadow_start.met()) continue;
        const Point S = shadow_start.pixel;
        if (pixel_distance(E.x, E.y, S.x, S.y) > par.soglia_blob_shadow) continue;
        // The first pixel past the shadow, before F; the sample ends on the
        // last shadow pixel before it.
        const TraceHit past_shadow = scan_tracce(Immagine4_ombre, S, search_end, shadow_cell::clear);
        if (!past_shadow.met()) continue;
        ++samples.samples_kept;
        const Point shadow_end = past_shadow.pixel_before;
        samples.dist_shadow.push_back(pixel_distance(E.x, E.y, shadow_end.x, shadow_end.y));
    }
}

}  // namespace

bool gestore(TalvernRun& run)
{
    std::printf("\n\n\nblob in process: ... initializing");
    const int width = run.width, height = run.height;

    Grid<std::uint8_t> Immagine;
    caricamento_building(run, 0, Immagine);
    Grid<std::uint8_t> Immagine4, Immagine4_ombre;
    if (!allocate_work_image(run.console, Immagine4, width, height, "\nError in memory allocation - Immagine4 - "))
        return false;
    if (!allocate_work_image(run.console, Immagine4_ombre, width, height,
                             "\nError in memory allocation - Immagine4_ombre - "))
        return false;
    // The building image: doubled, grown, with the scan's sentinels.
    build_work_image(Immagine, width, height, Immagine4);
    // The shadow image: doubled only; a shadow pixel is its 2 x 2 cells.
    caricamento_shadow(run, 0, Immagine);
    MOD_raddoppiatore(Immagine, width, height, Immagine4_ombre);
    Immagine = Grid<std::uint8_t>();
    run.Matrice_shadow = Grid<std::int32_t>();  // no longer needed

    const SunFold fold = sun_fold(run.sun_azimuth_angle);
    PointList lato_1, lato_2;
    TraceSamples samples;
    BlobBox box_blob = initial_box_blob(width, height);
    int blob_number = 1;
    while (evidenzia(box_blob, Immagine4) == 1) {
        archivia(box_blob, Immagine4);
        MOD_completamento_inverso(box_blob, Immagine4);
        MOD_completamento_spigoli_diagonali(box_blob, Immagine4);

        gotoxy(progress_column, cursor_row);
        clreol();
        std::printf(" %d", blob_number);
        std::fflush(stdout);
        ++blob_number;

        const TraceRect box_r = trace_rectangle(pixel_box(box_blob), fold, width, height);
        trace_sides(box_r, run.sun_azimuth_angle, width, height, lato_1, lato_2);
        sample_shadows(run, Immagine4, Immagine4_ombre, lato_1, lato_2, samples);
        const float L = shadow_length(samples.dist_shadow, samples.lines_hitting_building, samples.samples_kept,
                                      run.parameters);
        if (L > 0) rise_write(box_blob, building_height(L, run.sun_elevation_angle, run.risoluzione), Immagine4,
                              run.Matrice_raise);

        cancellatore(box_blob, Immagine4);
        seed_box_blob(box_blob, width, height);
    }
    return true;
}
