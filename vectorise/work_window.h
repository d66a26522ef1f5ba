// Windowed tracing: the blob routines run on the work image of a rectangle of
// the mask instead of the whole mask, so that a blob costs what its own
// surroundings cost, whatever the size of the image.
//
// A window covers the mask pixels x_offset+1 .. x_offset+width by
// y_offset+1 .. y_offset+height (mask coordinates: X from 1 at the left,
// Y from 1 at the bottom row, as in work_image.h). Its own bordered mask
// `Immagine` and work image `Immagine4` are those of that rectangle alone;
// vertices traced in it are offset back to whole-image pixel units.
//
// Why it gives the same records as the whole work image: every routine of
// the blob in hand reads and writes only cells within three cells of the
// blob's own cells (its box is its boundary walk, one cell around it). When
// the window holds the blob's pixels plus `window_margin` pixels on every
// side (or up to the image's edge), with every pixel of the class that the
// whole mask holds at that moment, the cells read are the same cells with
// the same values. Islands of the class inside the blob's holes lie within
// its pixel rectangle, so they are in the window too.
//
// Use, for one blob or one zone whose pixel rectangle is known:
//     open_work_window(window, x_min, y_min, x_max, y_max, width, height);
//     for each pixel (X, Y) of the class inside window.first_x()..last_x()
//         by window.first_y()..last_y(): window.set_pixel(X, Y);
//     prepare_work_window(window);
//     if (evidenzia(window.box_blob, window.Immagine4) == 1) {
//         trace_found_blob(window, records);   // one record
//     }
// A caller that traces exactly what the first search finds, found or not
// (one record per zone, empty when the zone has no pixel), calls
// trace_found_blob whatever evidenzia returned. Further blobs of the same
// window can follow: cancellatore(window.box_blob, window.Immagine4),
// seed_box_blob(window.box_blob, window.width, window.height), evidenzia.
// ClassTracer (class_tracing.h) traces every blob of a class map, each in a
// window of its own.
//
// The whole image as one work image (no window) is build_work_image
// (work_image.h) on the whole bordered mask with initial_box_blob(width,
// height), or a window opened on (1, 1, width, height).
//
// Plain twins: vectorise/tests/reference_vectoriser.cpp:reference_trace_class and
// reference_trace_first_blob.
#pragma once

#include "box_blob.h"
#include "contour_tracing.h"
#include "grid.h"
#include "record_arrays.h"

#include <cstdint>

// Pixels of the mask kept around a blob's pixel rectangle.
constexpr int window_margin = 2;

struct WorkWindow {
    int x_offset = 0;  // window pixel (X, Y) is mask pixel (X + x_offset, Y + y_offset)
    int y_offset = 0;
    int width = 0;     // pixels of the window
    int height = 0;
    Grid<std::uint8_t> Immagine;   // (width+2) x (height+2), border 0
    Grid<std::uint8_t> Immagine4;  // (2*width+4) x (2*height+4)
    BlobBox box_blob{};

    // Marks mask pixel (X, Y), given in whole-mask coordinates, as a pixel
    // of the class. It must lie in the window.
    void set_pixel(int X, int Y) { Immagine(X - x_offset, Y - y_offset) = 1; }

    // First and last mask column and row of the window.
    int first_x() const { return x_offset + 1; }
    int last_x() const { return x_offset + width; }
    int first_y() const { return y_offset + 1; }
    int last_y() const { return y_offset + height; }
};

// Sizes the window for the pixel rectangle x_min..x_max by y_min..y_max
// (mask coordinates) of a mask of mask_width x mask_height pixels: the
// rectangle widened by `window_margin` on every side and clipped to the
// mask. Clears the window's mask. An empty rectangle (x_max < x_min or
// y_max < y_min) gives a one-pixel window at its clipped first corner,
// which holds no blob. The whole mask is the window (1, 1, mask_width,
// mask_height, ...).
void open_work_window(WorkWindow& window, int x_min, int y_min, int x_max, int y_max, int mask_width,
                      int mask_height);

// After the mask is set: doubling, growth and sentinels of the window's work
// image (build_work_image), and `box_blob` seeded with the cursor at (1, 1).
void prepare_work_window(WorkWindow& window);

// The steps that follow `evidenzia` for one blob: `archivia`,
// `MOD_evidenzia_contorno`, `filtraggio_condivisi` and `gestore_contorno`;
// appends the blob's record, in whole-image pixel units. After
// `evidenzia` returned 0 this appends an empty record [0, 0, -3000].
// With `outer_first` false every ring is followed as a later ring
// (gestore_contorno).
void trace_found_blob(WorkWindow& window, RecordArrays& records, const LongRingNotice& on_long_ring = {},
                      bool outer_first = true);

// After trace_found_blob, until `cancellatore`: whether mask pixel (X, Y)
// (whole-mask coordinates, inside the window) was taken into the record
// just traced, as part of the blob or as an island inside one of its holes.
bool pixel_taken(const WorkWindow& window, int X, int Y);
