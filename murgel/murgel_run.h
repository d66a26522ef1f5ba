// The run of the mask cleaner: its inputs, the mask, and the driver that
// reads, cleans and writes it.
#pragma once

#include "bmp.h"
#include "console.h"
#include "grid.h"
#include "invocation.h"
#include "output_files.h"

#include <cstdint>
#include <string>

struct MurgelRun : Invocation {
    Console console;

    std::string nome_input;       // input file name as typed
    std::string result_typology;  // "raw" or "bmp"
    std::string bmp_raw;          // the input name's last three characters
    int soglia_blob = 0;          // blob and hole threshold, in pixels

    bool check_bmp_raw = false;   // the input is a BMP (its palette is kept)

    Grid<std::uint8_t> Immagine;  // the bordered 0/1 mask
    MaskFileState mask_file;      // input palette and foreground value
    OutputFiles outputs;          // the cleaned mask, put in place when the run completes
};

// The whole program on its arguments (the options taken out); returns its
// exit status.
int run_murgel(MurgelRun& run, int argc, char** argv);
