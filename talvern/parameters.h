// The measuring parameters and the parameter file "raise_parameters.txt",
// read from the current directory: entries "<key> = <integer>", where the key
// text includes the one blank before the equals sign.
#pragma once

#include <cstdio>
#include <string>
#include <system_error>

struct TalvernParameters {
    int soglia_blob_shadow = 3;            // max_gap_building_shadow: pixels allowed between building and shadow
    int max_dist_search = 20;              // max_lenght_shadow: pixels searched behind the building's edge
    int soglia_percentuale_campioni = 50;  // min_perc_shadow_sample: % of trace lines that must give a sample
    int soglia_scostamento_massimo = 20;   // max_perc_deviation_sample: % of the mean a sample may deviate
};

// Name of the parameter file, opened in the current directory.
constexpr const char* nome_file_param = "raise_parameters.txt";

// Reads the open parameter file to its end and stores every recognised entry.
// A key is everything up to an "=" once newlines, blanks, tabs and digits
// are skipped; a recognised key not followed by an integer keeps the
// parameter's previous value. Returns the system's reason when the file
// could not be read to its end (nothing is then stored).
std::error_code lettura_parametri(std::FILE* fp_param, TalvernParameters& parameters);

// The same grammar on text already in memory.
void read_parameter_text(const std::string& text, TalvernParameters& parameters);

// Sets the defaults, then reads "raise_parameters.txt" when it exists.
// Returns std::errc::no_such_file_or_directory when there is no such file
// (the defaults stand), or the reason a file of that name cannot be read (a
// folder: std::errc::is_a_directory).
std::error_code load_parameters(TalvernParameters& parameters);
