// The line filter: transforms and blob tests for every radius, clean-up of
// the accumulated line mask, segment extraction and the segments file.
#pragma once

#include "filter_work.h"
#include "grid.h"
#include "parameters.h"
#include "vorlix_run.h"

#include <cstdint>

// Names of the files the filter keeps in the current folder.
constexpr const char* working_file_name = "finale_grezza.raw";
constexpr const char* marker_file_name = "nomefile";

struct FilterOutcome {
    bool completed = true;  // false: the program ends at once with exit_status
    int exit_status = 0;
};

// Runs the filter on run.nomefilein and writes run.nomefileout (formed here).
FilterOutcome filtra(VorlixRun& run);

// The first stage alone: the accumulated line mask of `immagine` over all
// radii (0 = line pixel, 255 = background), with its console lines.
Grid<std::uint8_t> detect_lines(const Grid<std::uint8_t>& immagine, const VorlixParameters& p,
                                const FilterWork& work = {});
