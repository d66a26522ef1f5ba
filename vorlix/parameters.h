// The twelve tuning parameters of the line filter and their file
// "vorlix_parameters.txt".
#pragma once

#include <cstdio>
#include <optional>
#include <string>

struct VorlixParameters {
    int par_min_raggio = 0;           // first radius of the directional transforms
    int par_max_raggio = 0;           // last radius (inclusive)
    int par_step_raggio = 0;          // radius increment
    double par_soglia_minrad = 0.0;   // base factor of the minimum-radiance threshold
    double par_soglia_varrad = 0.0;   // base factor of the radiance-deviation threshold
    double par_soglia_ang = 0.0;      // base level of the angular threshold (0..255)
    int par_quadrosoglia = 0;         // half side of the angular window; its half is the radiance windows'
    int par_min_blob = 0;             // candidate blobs of at most this many pixels are dropped
    int par_blob_max = 0;             // growth limit of a blob measured for reclassification
    double par_reclass_source = 0.0;  // rejection factors of a blob's mean against the global means
    double par_reclass_minrad = 0.0;
    double par_reclass_varrad = 0.0;
};

// The values used when no parameter file can be opened.
VorlixParameters default_parameters();

// Reads the twelve values in table order with the formatted-input rules
// ("%d" for the integers, "%lf" for the others). Reading stops at the first
// field that cannot be converted; that value and all later ones stay 0.
VorlixParameters read_parameters(std::FILE* file);

// The name of the parameter file, always looked for in the current folder.
constexpr const char* parameters_file_name = "vorlix_parameters.txt";

// Why the filter cannot run with these parameters (a radius step below 1
// would never end the radius loop, a negative window has no pixel), or
// nothing when it can.
std::optional<std::string> parameters_problem(const VorlixParameters& p);
