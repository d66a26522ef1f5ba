// The state of one run of the line filter, owned by main.
#pragma once

#include "console.h"
#include "invocation.h"
#include "output_files.h"
#include "parameters.h"

#include <optional>
#include <string>
#include <system_error>

struct VorlixRun : Invocation {
    std::string nome_input;   // base name of the input image, without ".raw"
    int xdim = 0;             // image width (columns)
    int ydim = 0;             // image height (rows)
    std::string nomefilein;   // the input file as opened
    std::string nomefileout;  // the segments file as written
    VorlixParameters parameters;
    Console console;
    OutputFiles outputs;      // segments file and marker, put in place when the run completes; the working file
};

// The input file holds exactly xdim * ydim bytes; negative dimensions and a
// file that cannot be examined never match.
bool size_matches(const VorlixRun& run);

// Reads "vorlix_parameters.txt" from the current folder into run.parameters
// (an input of the run), or takes the defaults when there is no such file;
// prints which. A file that is there but cannot be read (a folder, a file
// without read permission) is no file of parameters: its reason is returned
// and nothing is printed.
std::optional<std::error_code> load_parameters(VorlixRun& run);
