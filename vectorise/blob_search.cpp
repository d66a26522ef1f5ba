#include "blob_search.h"

#include "cell_codes.h"

namespace {

void widen_box(BlobBox& box_blob, int x, int y)
{
    if (x < box_blob.x_min) box_blob.x_min = x;
    if (x > box_blob.x_max) box_blob.x_max = x;
    if (y < box_blob.y_min) box_blob.y_min = y;
    if (y > box_blob.y_max) box_blob.y_max = y;
}

// The walker has the blob directly to its right or left: its cell gains 2
// and widens the box, or, when it is the start cell, becomes a single mark
// and ends the walk (returns true).
bool meet_blob(BlobBox& box_blob, Grid<std::uint8_t>& img, int x, int y)
{
    widen_box(box_blob, x, y);
    if (img(x, y) == cell::contour) {
        img(x, y) = cell::walk_mark;
        return true;
    }
    img(x, y) += 2;
    return false;
}

// Walks the background cells around the blob with the blob on its left-hand
// side, from the start cell (x, y) right of which the blob lies, until it
// meets that side of the start cell again. d is what it checks next: 0 the
// cell to the right, 1 below, 2 to the left, 3 above.
void walk_boundary(BlobBox& box_blob, Grid<std::uint8_t>& img, int x, int y)
{
    int d = 1;
    for (;;) {
        switch (d) {
        case 0:
            if (img(x + 1, y) == cell::free_cell) {
                if (meet_blob(box_blob, img, x, y)) return;
                d = 1;
            } else {
                ++x;
                d = 3;
            }
            break;
        case 1:
            if (img(x, y - 1) == cell::free_cell) {
                d = 2;
            } else {
                --y;
                d = 0;
            }
            break;
        case 2:
            if (img(x - 1, y) == cell::free_cell) {
                if (meet_blob(box_blob, img, x, y)) return;
                d = 3;
            } else {
                --x;
                d = 1;
            }
            break;
        default:
            if (img(x, y + 1) == cell::free_cell) {
                d = 0;
            } else {
                ++y;
                d = 2;
            }
            break;
        }
    }
}

}  // namespace

int evidenzia(BlobBox& box_blob, Grid<std::uint8_t>& Immagine4)
{
    int x = box_blob.cursor_x;
    int y = box_blob.cursor_y;
    for (;;) {
        const std::uint8_t* row = Immagine4.row(y);
        if (row[x] == cell::scan_end) return 0;
        while (row[x] != cell::free_cell && row[x] != cell::row_end) ++x;
        if (row[x] == cell::free_cell) {
            --x;
            Immagine4(x, y) = cell::contour;
            box_blob.cursor_x = x;
            box_blob.cursor_y = y;
            walk_boundary(box_blob, Immagine4, x, y);
            return 1;
        }
        x = 0;
        ++y;
    }
}

void archivia(const BlobBox& box_blob, Grid<std::uint8_t>& Immagine4)
{
    for (int y = box_blob.y_min; y <= box_blob.y_max; ++y) {
        std::uint8_t* row = Immagine4.row(y);
        bool inside = false;
        for (int x = box_blob.x_min; x <= box_blob.x_max; ++x) {
            if (row[x] == cell::walk_mark) {
                row[x] = cell::background;
                inside = !inside;
            } else if (row[x] == cell::taken) {
                row[x] = cell::background;
            } else if (row[x] == cell::free_cell && inside) {
                row[x] = cell::taken;
            }
        }
    }
}

int MOD_evidenzia_contorno(const BlobBox& box_blob, Grid<std::uint8_t>& Immagine4)
{
    int contorni = 0;
    for (int y = box_blob.y_min; y <= box_blob.y_max; ++y) {
        const std::uint8_t* below = Immagine4.row(y - 1);
        std::uint8_t* row = Immagine4.row(y);
        const std::uint8_t* above = Immagine4.row(y + 1);
        for (int x = box_blob.x_min; x <= box_blob.x_max; ++x) {
            if (row[x] != cell::taken) continue;
            if (below[x - 1] == 0 || below[x] == 0 || below[x + 1] == 0 || row[x - 1] == 0 || row[x + 1] == 0 ||
                above[x - 1] == 0 || above[x] == 0 || above[x + 1] == 0) {
                row[x] = cell::contour;
                ++contorni;
            }
        }
    }
    return contorni;
}

void filtraggio_condivisi(const BlobBox& box_blob, Grid<std::uint8_t>& Immagine4)
{
    // A contour cell is a shared corner when its four neighbours are contour
    // cells and its diagonals read, from the upper left clockwise, 4 0 4 0
    // or 0 4 0 4. A cell turned to 10 fails the tests of its neighbours. Row
    // by row, as column by column, a cell's left and lower neighbours have
    // been decided before it and its right and upper ones not yet (diagonals,
    // 5 or 10, fail either way), so both orders give the same cells.
    for (int y = box_blob.y_min; y <= box_blob.y_max; ++y) {
        const std::uint8_t* below = Immagine4.row(y - 1);
        std::uint8_t* row = Immagine4.row(y);
        const std::uint8_t* above = Immagine4.row(y + 1);
        for (int x = box_blob.x_min; x <= box_blob.x_max; ++x) {
            if (row[x] != cell::contour || row[x - 1] != cell::contour || row[x + 1] != cell::contour ||
                above[x] != cell::contour || below[x] != cell::contour)
                continue;
            const bool pattern_a = above[x - 1] == cell::taken && above[x + 1] == cell::background &&
                                   below[x - 1] == cell::background && below[x + 1] == cell::taken;
            const bool pattern_b = above[x - 1] == cell::background && above[x + 1] == cell::taken &&
                                   below[x - 1] == cell::taken && below[x + 1] == cell::background;
            if (pattern_a || pattern_b) row[x] = cell::shared_corner;
        }
    }
}

void cancellatore(const BlobBox& box_blob, Grid<std::uint8_t>& Immagine4)
{
    for (int y = box_blob.y_min; y <= box_blob.y_max; ++y) {
        std::uint8_t* row = Immagine4.row(y);
        for (int x = box_blob.x_min; x <= box_blob.x_max; ++x)
            if (row[x] == cell::taken) row[x] = cell::background;
    }
}
