// The blob passes over the combined mask of one radius: small candidate blobs
// are dropped, the rest are measured against the global means and labelled,
// and the accepted ones join the accumulated line mask.
//
// maschera_comb: 255 = not a candidate, 0 = candidate; the reclassification
// labels blobs 10 (accepted), 120, 140 or 160 (too bright in the source, the
// minimum-radiance or the deviation transform).
//
// Plain twins: vorlix/tests/reference_filter.cpp:reference::remove_small_blobs and
// reference::reclassify_blobs.
#pragma once

#include "grid.h"
#include "neighbours.h"
#include "parameters.h"
#include "visit_marks.h"

#include <cstdint>
#include <vector>

// Drops every candidate blob of at most par_min_blob pixels (set to 255).
//
// A growth from an inner pixel (not on the outermost rows or columns) reaches
// the inner 8-connected component of that pixel plus the candidate border
// pixels next to it, and drops them when they are at most par_min_blob. So
// each component is measured once; a component that stays is measured again
// only in effect, when a smaller neighbour dropped border pixels it shared.
void remove_small_blobs(Grid<std::uint8_t>& maschera_comb, int par_min_blob, VisitMarks& marks);

struct GlobalMeans {
    double immagine = 0.0;
    double minima_radianza = 0.0;
    double scarto_radianza = 0.0;
};

// Means of the three planes over the candidate pixels (maschera_comb = 0).
GlobalMeans global_means(const Grid<std::uint8_t>& maschera_comb, const Grid<std::uint8_t>& immagine,
                         const Grid<std::uint8_t>& minima_radianza, const Grid<std::uint8_t>& scarto_radianza);

// Grows a blob from every remaining candidate pixel (in scan order, inner
// pixels only), at most par_blob_max pixels and the neighbours listed before
// the limit was seen, and labels it by its means against the global means.
void reclassify_blobs(Grid<std::uint8_t>& maschera_comb, const Grid<std::uint8_t>& immagine,
                      const Grid<std::uint8_t>& minima_radianza, const Grid<std::uint8_t>& scarto_radianza,
                      const VorlixParameters& p, const GlobalMeans& means, VisitMarks& marks,
                      std::vector<Point>& punto);

// finale = 0 wherever maschera_comb = 10.
void accumulate_lines(const Grid<std::uint8_t>& maschera_comb, Grid<std::uint8_t>& finale);
