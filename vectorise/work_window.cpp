#include "work_window.h"

#include "blob_search.h"
#include "cell_codes.h"
#include "contour_tracing.h"
#include "work_image.h"

#include <algorithm>

void open_work_window(WorkWindow& window, int x_min, int y_min, int x_max, int y_max, int mask_width,
                      int mask_height)
{
    int first_x = std::max(1, x_min - window_margin);
    int first_y = std::max(1, y_min - window_margin);
    int last_x = std::min(mask_width, std::max(x_max, x_min) + window_margin);
    int last_y = std::min(mask_height, std::max(y_max, y_min) + window_margin);
    if (x_max < x_min || y_max < y_min || first_x > last_x || first_y > last_y) {
        first_x = std::clamp(x_min, 1, std::max(1, mask_width));
        first_y = std::clamp(y_min, 1, std::max(1, mask_height));
        last_x = first_x;
        last_y = first_y;
    }
    window.x_offset = first_x - 1;
    window.y_offset = first_y - 1;
    window.width = last_x - first_x + 1;
    window.height = last_y - first_y + 1;
    window.Immagine.resize(window.width + 2, window.height + 2, 0);
}

void prepare_work_window(WorkWindow& window)
{
    build_work_image(window.Immagine, window.width, window.height, window.Immagine4);
    window.box_blob = initial_box_blob(window.width, window.height);
}

void trace_found_blob(WorkWindow& window, RecordArrays& records, const LongRingNotice& on_long_ring, bool outer_first)
{
    archivia(window.box_blob, window.Immagine4);
    const int contorni = MOD_evidenzia_contorno(window.box_blob, window.Immagine4);
    filtraggio_condivisi(window.box_blob, window.Immagine4);
    gestore_contorno(contorni, window.box_blob, window.Immagine4, records, window.x_offset, window.y_offset,
                     on_long_ring, outer_first);
}

bool pixel_taken(const WorkWindow& window, int X, int Y)
{
    // A pixel's centre cell has all eight neighbours within the pixel, so it
    // is never a contour cell and stays 4 from the fill to the clearing.
    const int x = X - window.x_offset;
    const int y = Y - window.y_offset;
    return window.Immagine4(2 * x, 2 * y) == cell::taken;
}
