// `box_blob`: the box of the blob in hand and the scan cursor of the blob
// search, in cells of the work image `Immagine4`.
#pragma once

// The six values travel together through every blob routine: the box bounds
// the cells a routine visits, the cursor is where the next search resumes.
struct BlobBox {
    int x_min = 0;     // smallest x of the box
    int x_max = 0;     // largest x
    int y_min = 0;     // smallest y
    int y_max = 0;     // largest y
    int cursor_x = 0;  // the scan cursor: the cell left of the blob's first
    int cursor_y = 0;  // cell, where the next search starts
};

// Where the scan starts in a fresh work image: the first cell inside its
// one-cell border of background.
constexpr int first_scan_cell = 1;

// Seeds the box for a work image of a width x height mask as an empty box
// that the boundary walk widens: the low ends past the image's last cell
// (2*width+4, 2*height+4), the high ends at 0. The cursor is left as it is.
inline void seed_box_blob(BlobBox& box_blob, int width, int height)
{
    box_blob.x_min = 2 * width + 4;
    box_blob.x_max = 0;
    box_blob.y_min = 2 * height + 4;
    box_blob.y_max = 0;
}

// The seeded box and the cursor at the first scan cell: the state before the
// first search in a work image.
inline BlobBox initial_box_blob(int width, int height)
{
    BlobBox box_blob;
    seed_box_blob(box_blob, width, height);
    box_blob.cursor_x = first_scan_cell;
    box_blob.cursor_y = first_scan_cell;
    return box_blob;
}
