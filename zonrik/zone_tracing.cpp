#include "zone_tracing.h"

#include "blob_search.h"

#include <cstdio>

void gestore(Console& console, const Zone& zone, int width, int height, WorkWindow& window, RecordArrays& records)
{
    std::printf("blob in process: ... initializing");
    // Mask coordinates: background pixel (x, y), row 0 at the bottom, is
    // mask pixel (x + 1, y + 1).
    open_work_window(window, zone.x_min + 1, zone.y_min + 1, zone.x_max + 1, zone.y_max + 1, width, height);
    for (const ZonePixel& p : zone.pixels) window.set_pixel(p.x + 1, p.y + 1);
    prepare_work_window(window);
    evidenzia(window.box_blob, window.Immagine4);
    trace_found_blob(window, records, [&console](bool primo) {
        std::fputs(primo ? "WARNING primo=true" : "WARNING primo=false", stdout);
        console.wait_for_key();
    });
}
