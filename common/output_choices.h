// How a run writes beyond the layout it has always written: the GIS-standard layout
// (--gis, or SUITE_GIS=1 in the environment; also the default for a run
// whose input came through GDAL) and the format of its outputs (--of GTiff
// for rasters, --of GPKG for vectors).
#pragma once

#include "options.h"

#include <optional>
#include <string>
#include <vector>

enum class OutputFormat { suite, gtiff, gpkg };

struct OutputChoices {
    bool gis = false;  // asked for on the command line or in the environment
    OutputFormat format = OutputFormat::suite;
};

// What a program writes, for the options it offers.
struct OutputKinds {
    bool rasters = false;
    bool vectors = false;
};

// The options "--gis" and "--of FORMAT" with the formats the program writes.
std::vector<KnownOption> output_options(OutputKinds kinds);

// Takes the choices from the command line and the environment; a format the
// program does not write is refused (the reason, one line).
std::optional<std::string> take_output_choices(const CommandLine& line, OutputKinds kinds, OutputChoices& choices);
