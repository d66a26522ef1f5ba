// Blob search, fill and contour marking on the work image `Immagine4` (see
// work_image.h), one blob (8-connected region of the class) at a time.
//
// Calling order per blob: `evidenzia`, `archivia`, `MOD_evidenzia_contorno`,
// `filtraggio_condivisi`, the contour tracing (contour_tracing.h),
// `cancellatore`; then `seed_box_blob` (keeping the cursor) before the next
// `evidenzia`. All state lives in the cells and in `box_blob`.
//
// Plain twin of filtraggio_condivisi (row by row here, column by column there):
// vectorise/tests/reference_vectoriser.cpp:filtraggio_by_columns.
#pragma once

#include "box_blob.h"
#include "grid.h"

#include <cstdint>

// Scans from the cursor, row by row from the bottom (y = 1) and left to right,
// for the next free cell (1). Found: the cell left of it becomes the cursor,
// the walk circles the blob counter-clockwise through the background around
// it, marking with +2 every cell that has the blob directly to its right or
// left, and widens the box to the marked cells; returns 1. The scan reached
// the end sentinel: returns 0.
int evidenzia(BlobBox& box_blob, Grid<std::uint8_t>& Immagine4);

// Even-odd fill of the box rows by the walk's marks: the blob's cells, and
// cells of the class on islands inside its holes, become 4; the marks vanish.
void archivia(const BlobBox& box_blob, Grid<std::uint8_t>& Immagine4);

// Cells of 4 in the box with a 0 among their eight neighbours become 5 (the
// contour: outer boundary, holes and islands). Returns their number
// (`contorni`).
int MOD_evidenzia_contorno(const BlobBox& box_blob, Grid<std::uint8_t>& Immagine4);

// Contour cells (5) where the blob touches itself only diagonally become 10.
void filtraggio_condivisi(const BlobBox& box_blob, Grid<std::uint8_t>& Immagine4);

// Clears the blob: every 4 in the box becomes 0.
void cancellatore(const BlobBox& box_blob, Grid<std::uint8_t>& Immagine4);
