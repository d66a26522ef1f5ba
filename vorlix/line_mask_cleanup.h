// Repairs of the accumulated line mask (0 = line pixel, 255 = background)
// before the segments are extracted: narrow notches cut into line regions
// are filled, background pixels embraced by a half ring of line pixels are
// filled until nothing changes, and small enclosed holes are filled. The
// outermost rows and columns are never changed.
//
// Plain twin: vorlix/tests/reference_filter.cpp:reference::clean_line_mask.
#pragma once

#include "grid.h"
#include "visit_marks.h"

#include <cstdint>

// Four passes; each reads the mask as it was when the pass began.
void fill_narrow_notches(Grid<std::uint8_t>& immagine);

// Passes until one changes nothing; each reads the mask as it was when the
// pass began. After the first pass only the neighbours of the pixels changed
// by the previous pass are looked at again, the only ones whose half rings
// can have changed.
void fill_half_ring_notches(Grid<std::uint8_t>& immagine, VisitMarks& marks);

// Background regions of at most 20 pixels that do not reach the outermost
// rows and columns become line.
void fill_small_holes(Grid<std::uint8_t>& immagine, VisitMarks& marks);

// The three repairs in order.
void clean_line_mask(Grid<std::uint8_t>& immagine, VisitMarks& marks);
