#include "zonal_run.h"

#include "function_choice.h"
#include "zone_reports.h"
#include "zone_tracing.h"

ZonalRun::ZonalRun(const Grid<float>& Matrice_background, int f_type, float outside)
    : ZonalRun(Matrice_background, Matrice_background.width(), Matrice_background.height(), f_type, outside)
{
}

ZonalRun::ZonalRun(const Grid<float>& Matrice_background, int width, int height, int f_type, float outside,
                   bool paint)
    : Matrice_output(paint ? width : 1, paint ? height : 1, outside),
      Matrice_background(Matrice_background),
      width(width),
      height(height),
      f_type(f_type),
      paint(paint)
{
    if (f_type == function_code::cover) Immagine_bmp.resize(Matrice_output.width(), Matrice_output.height(), 255);
}

float ZonalRun::measure(const Zone& zone, std::string& report_line)
{
    switch (f_type) {
    case function_code::mean: return zone_mean(values);
    case function_code::variance: return zone_variance(values);
    case function_code::log_mean: return zone_log_mean(values);
    case function_code::log_variance: return zone_log_variance(values);
    case function_code::standard_deviation: return zone_standard_deviation(values);
    case function_code::cover: {
        ++sequenziale;
        const auto nullo = static_cast<std::uint8_t>(valore_incrementale % 16);
        const ZoneCover cover = zone_cover(values, thresholds, nullo);
        if (paint)
            for (std::size_t i = 0; i < zone.pixels.size(); ++i)
                Immagine_bmp(zone.pixels[i].x, zone.pixels[i].y) = cover.indices[i];
        report_line = cover_report_line(sequenziale, cover);
        ++valore_incrementale;
        return cover.percentage;
    }
    default: {
        ++sequenziale;
        const ZoneTemperature temperature = zone_temperature(values);
        report_line = temperature_report_line(sequenziale, temperature);
        return temperature.mean;
    }
    }
}

std::string ZonalRun::process(Console& console, const PixelRecord& record)
{
    const Zone& zone = rasteriser.rasterise(record, width, height);
    values.clear();
    if (zone_values)
        zone_values(zone, values);
    else
        for (const ZonePixel& p : zone.pixels) values.push_back(Matrice_background(p.x, p.y));

    std::string report_line;
    const float value = measure(zone, report_line);
    if (paint)
        for (const ZonePixel& p : zone.pixels) Matrice_output(p.x, p.y) = value;
    valori_db.push_back(value);
    gestore(console, zone, width, height, window, records);
    return report_line;
}
