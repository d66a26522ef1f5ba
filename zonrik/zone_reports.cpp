#include "zone_reports.h"

#include "number_text.h"

namespace {

// A line of `count` dashes separated by blanks, between two line ends.
std::string dashed_line(int count)
{
    std::string line = "\n-";
    for (int i = 1; i < count; ++i) line += " -";
    return line + "\n";
}

}  // namespace

std::string cover_report_header()
{
    return "Shape\t\tPixel_class\tPixel_tot\t\tPerc(%)\n" + dashed_line(47);
}

std::string cover_report_line(int sequenziale, const ZoneCover& cover)
{
    return "\n" + std::to_string(sequenziale) + "\t\t" + format_number("%.1f", cover.snow_cover) + "\t\t" +
           std::to_string(cover.k) + "\t\t" + format_number("%.2f", cover.percentage) + "\n";
}

std::string temperature_report_header()
{
    return "Shape\t\tMin_temp\t\tMax_temp\tMean_temp\tVariance\n" + dashed_line(68);
}

std::string temperature_report_line(int sequenziale, const ZoneTemperature& temperature)
{
    return "\n" + std::to_string(sequenziale) + "\t\t" + format_number("%.2f", temperature.f_min) + "\t\t\t" +
           format_number("%.2f", temperature.f_max) + "\t\t" + format_number("%.2f", temperature.mean) + "\t\t" +
           format_number("%.2f", temperature.variance) + "\n";
}
