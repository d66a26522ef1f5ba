// `box_blob`: the box of the blob in hand and the scan cursor of the blob
// search, in cells of the work image `Immagine4`.
#pragma once

#include <array>

//   [0] smallest x, [1] largest x, [2] smallest y, [3] largest y of the box,
//   [4], [5] the scan cursor (x, y).
using BoxBlob = std::array<int, 6>;

// Seeds the box part for a work image of a width x height mask, so that the
// boundary walk widens it from nothing: {2*width+4, 0, 2*height+4, 0}. The
// cursor is left as it is.
inline void seed_box_blob(BoxBlob& box_blob, int width, int height)
{
    box_blob[0] = 2 * width + 4;
    box_blob[1] = 0;
    box_blob[2] = 2 * height + 4;
    box_blob[3] = 0;
}

// The box seeds and the cursor at (1, 1): the state before the first search
// in a work image.
inline BoxBlob initial_box_blob(int width, int height)
{
    BoxBlob box_blob{};
    seed_box_blob(box_blob, width, height);
    box_blob[4] = 1;
    box_blob[5] = 1;
    return box_blob;
}
