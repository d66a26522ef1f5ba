// 8-connected regions of one cell value in the bordered mask: finding them in
// scan order, marking them, and sorting them by size.
//
// A region grows through image cells only. A border cell of the region's
// value that touches it is set to the front code 3 and stays so: it belongs
// to no region and joins none (a background region that reaches the image
// edge in two places is two regions unless the image joins them).
//
// Plain twins: murgel/tests/reference_cleaning.cpp:reference::MOD_evidenziazione_blob
// and reference::eliminazione_blob.
#pragma once

#include "grid.h"

#include <cstdint>
#include <vector>

// One row run of a region: cells (x_first .. x_last, y).
struct Span {
    int y;
    int x_first;
    int x_last;
};

// Finds the regions of a value one after the other, in the scan order of
// their first cell (rows from the top, left to right), each in time linear in
// its size. The cells of a region found must not be set back to the value
// searched for while the scanner is in use.
class RegionScanner {
public:
    explicit RegionScanner(Grid<std::uint8_t>& Immagine) : image_(Immagine) {}

    // Sets the next region of `valore` to `mark` and lists its row runs.
    // Returns false when no image cell holds `valore` any more.
    bool next(std::uint8_t valore, std::uint8_t mark, std::vector<Span>& spans);

private:
    bool find_start(std::uint8_t valore, int& x, int& y);

    Grid<std::uint8_t>& image_;
    int next_y_ = 1;  // where the search for the next first cell resumes
    int next_x_ = 1;
    std::vector<Span> pending_;
};

// Number of cells of a region.
long long region_size(const std::vector<Span>& spans);

// Sets every cell of a region to `value`.
void set_region(Grid<std::uint8_t>& Immagine, const std::vector<Span>& spans, std::uint8_t value);

// Marks the first region of `valore` (in scan order) with `mark`. Returns 1
// when there was one, 0 when none is left.
int MOD_evidenziazione_blob(Grid<std::uint8_t>& Immagine, int valore, int mark);

// Judges every region of `valore` by its size: a foreground blob (valore 1)
// smaller than `soglia_blob` is deleted, the others become 6; a background
// region (valore 0) smaller than it is filled with 1, the others become 7.
// `mark` is the code of the region in hand.
void eliminazione_blob(Grid<std::uint8_t>& Immagine, int soglia_blob, int valore, int mark);
