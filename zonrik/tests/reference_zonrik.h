// The zone procedure written out straightforwardly on whole grids, for
// equivalence tests of the windowed rasteriser and tracing: the outline of
// every part on a doubled grid of the whole background, the flood from the
// window's corner by repeated sweeps until nothing changes, the marks, the
// window cleared after every part; the statistic over the window's pixels;
// the value painted into the vectoriser's grid `Matrice` (row 0 at the top,
// -999999.0 outside the zone) and the zone re-traced from a mask of that
// whole grid with one blob search on the whole work image.
#pragma once

#include "console.h"
#include "grid.h"
#include "pixel_record.h"
#include "record_arrays.h"
#include "zone_statistics.h"

#include <cstdint>
#include <string>
#include <vector>

class ReferenceZonrik {
public:
    ReferenceZonrik(const Grid<float>& background, int f_type, CoverThresholds thresholds);

    // One record that the skip rule let through; returns its report line.
    std::string process(Console& console, const PixelRecord& record);

    Grid<float> Matrice_output;
    Grid<std::uint8_t> Immagine_bmp;
    std::vector<float> valori_db;
    RecordArrays records;

private:
    const Grid<float>& Matrice_background;
    int f_type;
    CoverThresholds thresholds;
    int sequenziale = 0;
    int valore_incrementale = 0;
    Grid<std::uint8_t> Matrice_doppia;
    Grid<std::int16_t> Matrice_out;
    Grid<float> Matrice;
};

// The zone pixels of one record as the whole-grid procedure marks them, in
// window order (for direct comparison with ZoneRasteriser).
std::vector<std::pair<int, int>> reference_zone(const PixelRecord& record, int width, int height);
