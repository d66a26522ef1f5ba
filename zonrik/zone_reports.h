// The text reports of the cover ("<output>_cover.txt") and temperature
// ("<output>_temp.txt") functions: a header, then one line per zone.
#pragma once

#include "zone_statistics.h"

#include <string>

// Header of the cover report: column titles and a dashed line.
std::string cover_report_header();
// "\n%d\t\t%.1f\t\t%d\t\t%.2f\n": zone number, snow_cover, k, percentage.
// Here and below a NaN or an infinity is written "nan", "inf" or "-inf" on
// every platform (number_text.h).
std::string cover_report_line(int sequenziale, const ZoneCover& cover);

// Header of the temperature report.
std::string temperature_report_header();
// "\n%d\t\t%.2f\t\t\t%.2f\t\t%.2f\t\t%.2f\n": zone number, lowest, highest
// and mean temperature, variance.
std::string temperature_report_line(int sequenziale, const ZoneTemperature& temperature);
