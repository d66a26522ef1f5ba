// Reduction of the cleaned line mask to straight segments.
//
// The mask is scanned row by row; every line pixel met starts a region
// growth. While a region grows, each time its bounding box grows (and the
// region has reached a pixel no earlier segment used) a candidate search
// looks for the best segment across the box; the growth goes on while
// searches accept candidates. The best choice of the growth is extracted:
// the band of line pixels it explains is removed from the mask, pixels where
// the line is wider than usual (crossings) are kept for later segments.
//
// Mask values: 255 background or consumed, 0 unused line pixel, 100 line
// pixel left over from the band of an earlier segment.
//
// Plain twin: vorlix/tests/reference_filter.cpp:reference::extract_segments.
#pragma once

#include "candidate_search.h"
#include "grid.h"

#include <cstdint>
#include <functional>
#include <vector>

struct ExtractedSegment {
    int x1, y1, x2, y2;
    double punteggio;
};

using SegmentExtracted = std::function<void(const ExtractedSegment&)>;

// Extracts the segments of `immagine` (changed in place) in extraction
// order; `on_extracted` is told of each one as soon as it is extracted. The
// candidate searches of long growths are shared out over `threads` threads;
// the segments are the same whatever their number.
std::vector<ExtractedSegment> extract_segments(Grid<std::uint8_t>& immagine,
                                               const SegmentExtracted& on_extracted = {}, int threads = 1);
