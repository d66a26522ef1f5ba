// The line filter: transforms and blob tests for every radius, clean-up of
// the accumulated line mask, segment extraction and the segments file.
//
// Plain twin: vorlix/tests/reference_filter.cpp:reference::filtra.
#pragma once

#include "filter_work.h"
#include "grid.h"
#include "parameters.h"
#include "tile_share.h"
#include "vorlix_run.h"

#include <cstdint>
#include <optional>

// The segments file, in the working folder when one was given.
constexpr const char* segments_file_name = "segmenti.txt";
// The files kept in the current folder: the line mask while it is written
// and read back (a private file of the run under a name beginning with this
// one, gone when the run ends) and the empty marker of a completed run.
constexpr const char* working_file_name = "finale_grezza.raw";
constexpr const char* marker_file_name = "nomefile";

// Runs the filter on run.nomefilein and writes the segments file
// run.nomefileout and the marker into their temporaries in run.outputs, to
// be put in place by the caller. None: done; else the exit status, after the
// message.
std::optional<int> filtra(VorlixRun& run);

// The first stage alone: the accumulated line mask of `immagine` over all
// radii (0 = line pixel, 255 = background), with its console lines. A tile
// of a larger image takes the whole image's statistics from `tile` and
// notes its share of them there.
Grid<std::uint8_t> detect_lines(const Grid<std::uint8_t>& immagine, const VorlixParameters& p,
                                const FilterWork& work = {}, TileShare* tile = nullptr);
