#include "zone_reports.h"

#include <cstdio>

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
    char line[512];
    std::snprintf(line, sizeof line, "\n%d\t\t%.1f\t\t%d\t\t%.2f\n", sequenziale,
                  static_cast<double>(cover.snow_cover), cover.k, static_cast<double>(cover.percentage));
    return line;
}

std::string temperature_report_header()
{
    return "Shape\t\tMin_temp\t\tMax_temp\tMean_temp\tVariance\n" + dashed_line(68);
}

std::string temperature_report_line(int sequenziale, const ZoneTemperature& temperature)
{
    char line[512];
    std::snprintf(line, sizeof line, "\n%d\t\t%.2f\t\t\t%.2f\t\t%.2f\t\t%.2f\n", sequenziale,
                  static_cast<double>(temperature.f_min), static_cast<double>(temperature.f_max),
                  static_cast<double>(temperature.mean), static_cast<double>(temperature.variance));
    return line;
}
