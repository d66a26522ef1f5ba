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

// What the trace lines across one building found.
struct TraceSamples {
    int numero_test_1 = 0;          // lines that hit the building
    int numero_test_2 = 0;          // shadow lengths kept
    std::vector<float> dist_shadow; // the lengths, in pixels
};

// Casts the trace lines from lato_1 to lato_2 across the blob in hand (cells
// of 4 in Immagine4) and measures the shadow behind the edge each one hits.
void sample_shadows(const TalvernRun& run, const Grid<std::uint8_t>& Immagine4,
                    const Grid<std::uint8_t>& Immagine4_ombre, const PointList& lato_1, const PointList& lato_2,
                    TraceSamples& samples)
{
    const TalvernParameters& par = run.parameters;
    samples.numero_test_1 = 0;
    samples.numero_test_2 = 0;
    samples.dist_shadow.clear();
    std::array<int, 4> estremi{}, estremi_2{}, estremi_3{}, estremi_4{};
    const std::size_t n = std::min(lato_1.size(), lato_2.size());
    for (std::size_t k = 0; k < n; ++k) {
        const Point A = lato_1[k], B = lato_2[k];
        // The building's edge E, met coming from the shadow side.
        scan_tracce(Immagine4, A.x, A.y, B.x, B.y, cell::taken, 2, 1, estremi);
        if (estremi[0] < 0 || estremi[1] < 0) continue;
        ++samples.numero_test_1;
        const int Ex = estremi[0], Ey = estremi[1];
        // F, the end of the search, max_dist_search pixels down the sun.
        estremi_alfa(Ex, Ey, run.sun_azimuth_angle, par.max_dist_search, estremi_2);
        // S, the first shadow pixel, near enough to the edge.
        scan_tracce(Immagine4_ombre, Ex, Ey, estremi_2[0], estremi_2[1], 1, 2, 1, estremi_3);
        if (estremi_3[0] < 0 || estremi_3[1] < 0) continue;
        const int Sx = estremi_3[0], Sy = estremi_3[1];
        if (pixel_distance(Ex, Ey, Sx, Sy) > par.soglia_blob_shadow) continue;
        // The first pixel past the shadow, before F; the sample ends on the
        // last shadow pixel before it.
        scan_tracce(Immagine4_ombre, Sx, Sy, estremi_2[0], estremi_2[1], 0, 2, 1, estremi_4);
        if (estremi_4[0] < 0 || estremi_4[1] < 0) continue;
        ++samples.numero_test_2;
        samples.dist_shadow.push_back(pixel_distance(Ex, Ey, estremi_4[2], estremi_4[3]));
    }
}

}  // namespace

void gestore(TalvernRun& run)
{
    std::printf("\n\n\nblob in process: ... initializing");
    const int width = run.width, height = run.height;

    Grid<std::uint8_t> Immagine;
    caricamento_building(run, 0, Immagine);
    Grid<std::uint8_t> Immagine4, Immagine4_ombre;
    if (!allocate_work_image(run.console, Immagine4, width, height, "\nError in memory allocation - Immagine4 - "))
        return;
    if (!allocate_work_image(run.console, Immagine4_ombre, width, height,
                             "\nError in memory allocation - Immagine4_ombre - "))
        return;
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
    BoxBlob box_blob = initial_box_blob(width, height);
    int blob_number = 1;
    while (evidenzia(box_blob, Immagine4) == 1) {
        archivia(box_blob, Immagine4);
        MOD_completamento_inverso(box_blob, Immagine4);
        MOD_completamento_spigoli_diagonali(box_blob, Immagine4);

        gotoxy(17, -1);
        clreol();
        std::printf(" %d", blob_number);
        std::fflush(stdout);
        ++blob_number;

        const std::array<int, 8> box_r = trace_rectangle(pixel_box(box_blob), fold, width, height);
        trace_sides(box_r, run.sun_azimuth_angle, width, height, lato_1, lato_2);
        sample_shadows(run, Immagine4, Immagine4_ombre, lato_1, lato_2, samples);
        const float L = shadow_length(samples.dist_shadow, samples.numero_test_1, samples.numero_test_2,
                                      run.parameters);
        if (L > 0) rise_write(box_blob, building_height(L, run.sun_elevation_angle, run.risoluzione), Immagine4,
                              run.Matrice_raise);

        cancellatore(box_blob, Immagine4);
        seed_box_blob(box_blob, width, height);
    }
}
