// The measurement of one zone and what follows from its value: the value
// painted over the zone in the output raster (and, for the cover, the
// picture indices in the cover picture), appended to the attribute values,
// and the zone traced into a polygon record.
//
// Plain twin: zonrik/tests/reference_zonrik.cpp:ReferenceZonrik::process.
#pragma once

#include "console.h"
#include "grid.h"
#include "record_arrays.h"
#include "work_window.h"
#include "zone_rasteriser.h"
#include "zone_statistics.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ZonalRun {
public:
    // The background, (x, y) with row 0 at the bottom; f_type the function
    // code (function_choice.h); `outside` what the output raster holds
    // outside every zone.
    ZonalRun(const Grid<float>& Matrice_background, int f_type, float outside = 0.0f);
    // A background of width x height pixels whose samples the grid may not
    // hold: then zone_values gives each zone's values. Without `paint` the
    // output raster and the cover picture stay 1 x 1 and unpainted.
    ZonalRun(const Grid<float>& Matrice_background, int width, int height, int f_type, float outside,
             bool paint = true);

    // When set, the background values of each zone in zone order
    // (Zone::pixels), instead of the grid's.
    std::function<void(const Zone&, std::vector<float>&)> zone_values;

    // The cover thresholds, asked for before the first zone.
    CoverThresholds thresholds;

    // Measures the zone of a record that the skip rule let through (its
    // pixels inside the background) and traces it. Returns
    // the zone's report line ("" for the functions without a report).
    // Prints what the tracing prints.
    std::string process(Console& console, const PixelRecord& record);

    // Zones processed with a report (cover or temperature); the first
    // such zone opens the report.
    int reported_zones() const { return sequenziale; }

    // The results, in processing order.
    Grid<float> Matrice_output;       // zone values, `outside` elsewhere; row 0 at the bottom
    Grid<std::uint8_t> Immagine_bmp;  // cover picture, 255 outside every zone; created for the cover
    std::vector<float> valori_db;     // one value per processed zone
    RecordArrays records;             // one polygon record per processed zone

private:
    float measure(const Zone& zone, std::string& report_line);

    const Grid<float>& Matrice_background;
    const int width, height;
    const int f_type;
    const bool paint;
    int sequenziale = 0;          // zones processed; numbers the report lines
    int valore_incrementale = 0;  // cover zones processed
    std::vector<float> values;    // background values of the zone in hand
    ZoneRasteriser rasteriser;
    WorkWindow window;
};
