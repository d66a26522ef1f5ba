// The state of one run of the line filter, owned by main.
#pragma once

#include "console.h"
#include "parameters.h"

#include <string>

struct VorlixRun {
    std::string nome_input;   // base name of the input image, without ".raw"
    int xdim = 0;             // image width (columns)
    int ydim = 0;             // image height (rows)
    std::string path;         // working folder, when one was given
    bool check_path = false;  // a working folder was given
    bool interactive = false; // the inputs were prompted for
    std::string nomefilein;   // the input file as opened
    std::string nomefileout;  // the segments file as written
    VorlixParameters parameters;
    int threads = 1;          // threads the transforms and the window tests share rows over
    Console console;
};

// The input file holds exactly xdim * ydim bytes; negative dimensions and a
// file that cannot be examined never match.
bool size_matches(const VorlixRun& run);

// Reads "vorlix_parameters.txt" from the current folder into run.parameters,
// or takes the defaults when it cannot be opened; prints which.
void load_parameters(VorlixRun& run);
