// The run of the mask cleaner: its inputs, the mask, and the driver that
// reads, cleans and writes it.
#pragma once

#include "bmp.h"
#include "console.h"
#include "geo_input.h"
#include "grid.h"
#include "invocation.h"
#include "output_choices.h"
#include "options.h"
#include "output_files.h"

#include <cstdint>
#include <string>

struct MurgelRun : Invocation {
    Console console;

    std::string nome_input;       // input file name as typed
    std::string result_typology;  // "raw" or "bmp"
    std::string bmp_raw;          // the input name's last three characters
    int soglia_blob = 0;          // blob and hole threshold, in pixels

    bool check_bmp_raw = false;   // the input is a BMP, or a GDAL raster with a colour table: its palette is kept
    bool through_gdal = false;    // the input is named neither raw nor bmp: any raster GDAL opens
    OutputChoices choices;        // --of GTiff (--gis changes nothing in a raster)
    Georeference georeference;    // where the input lies, for the output's sidecars

    Grid<std::uint8_t> Immagine;  // the bordered 0/1 mask
    MaskFileState mask_file;      // input palette and foreground value
    OutputFiles outputs;          // the cleaned mask, put in place when the run completes
};

// The whole program on its command line; returns its exit status.
int run_murgel(MurgelRun& run, CommandLine& line);
