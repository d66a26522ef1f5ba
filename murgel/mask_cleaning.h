// The whole clean-up of a building mask, in its fixed order.
//
// Plain twin: murgel/tests/reference_cleaning.cpp:reference::clean_mask.
#pragma once

#include "grid.h"

#include <cstdint>

// Cleans the bordered 0/1 mask in place: diagonal bridges, channel pixels,
// diagonal bridges again; blobs and then background regions smaller than
// `soglia_blob` pixels removed; every building closed. Afterwards the image
// cells hold 0 and 1 (the border ring may hold other codes).
void clean_mask(Grid<std::uint8_t>& Immagine, int soglia_blob);

// Over the image cells (the border ring left alone), every `from` becomes `to`.
void recode_image_cells(Grid<std::uint8_t>& Immagine, std::uint8_t from, std::uint8_t to);
