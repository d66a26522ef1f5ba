// The zone procedure written out straightforwardly on whole grids, for
// equivalence tests of the windowed rasteriser and tracing: every part cut
// into loops by a plain search of the walked path, each loop's outline
// (ring_outlines.h) drawn alone on a fresh doubled grid of the whole
// background with the frame round it, the flood from the grid's corner by repeated sweeps until
// nothing changes, the marks added up as parities; the statistic over the
// zone's pixels;
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
    Grid<float> Matrice;
};

// The zone pixels of one record on a width x height background as the
// whole-grid procedure marks them, row by row (for direct comparison with
// ZoneRasteriser).
std::vector<std::pair<int, int>> reference_zone(const PixelRecord& record, int width, int height);
