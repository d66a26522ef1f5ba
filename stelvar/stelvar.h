// Stelvar: slices an 8-bit grey BMP at a series of thresholds, one BMP per
// threshold, black-and-white or keeping the grey tones at or below it.
#pragma once

#include "console.h"
#include "geo_input.h"
#include "grid.h"
#include "invocation.h"
#include "output_choices.h"
#include "output_files.h"
#include "slicer_bmp.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct StelvarRun : Invocation {
    Console console;

    std::string nome_input;       // as given
    int soglia_min = 0;
    int soglia_max = 0;
    int step = 0;
    char p = 'n';                 // 's' grey-tone slices, 'n' binary slices

    BmpHead head{};
    int width = 0;
    int height = 0;
    long long attuale = 0;        // threshold in hand
    Grid<std::uint8_t> Immagine_bn;  // input pixels, row 0 the top
    // The output files' header and palette, the same for every threshold.
    std::vector<unsigned char> slice_head;
    OutputChoices choices;        // --of GTiff (--gis changes nothing in a raster)
    Georeference georeference;    // where the input lies, for the slices' sidecars
    OutputFiles outputs;          // the slices, put in place when the run completes
};

// The steps of a run return none to go on, or the exit status the run ends
// with (their message printed and, where one is due, the key waited for).

// Fills the inputs from the command line (5 or more arguments) or the prompts.
// A number argument that is not wholly a number ends the run (status 1).
std::optional<int> take_inputs(StelvarRun& run, int argc, char** argv);

// Opens and reads the input image into Immagine_bn (width, height set), and
// where it lies: a file that is no BMP (no "BM") is read through GDAL (band
// 1, Byte), and its slices then have the suite's own header.
std::optional<int> read_input_image(StelvarRun& run);

// 0 when the header is an 8-bit BMP; otherwise prints "\nError in BMP format"
// and waits for a key, and the run ends.
int controllo(StelvarRun& run, const BmpHead& head);

// Names the input (with the world file and ".prj" beside it) and every
// slice of the run, with its sidecars, as its outputs; a slice that would
// overwrite an input ends the run before anything is written.
std::optional<int> declare_slices(StelvarRun& run);

// Slices file row r (0 the bottom row of the picture) at `attuale` into the
// `width` bytes at `out`.
void slice(const StelvarRun& run, int r, std::uint8_t* out);

// Slices at `attuale` and writes "threshold_<attuale>.bmp" (with its
// ".wld" and ".prj" when the input is georeferenced), or with --of GTiff
// "threshold_<attuale>.tif", into its temporary, put in place with the
// others by run.outputs.commit().
std::optional<int> bmp(StelvarRun& run);

// "threshold_<value>.bmp" (".tif" with --of GTiff), in the working folder
// when one was given.
std::string slice_name(const StelvarRun& run, long long threshold);
