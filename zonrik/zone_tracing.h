// Zonrik's `gestore`: traces the zone in hand into one polygon record.
//
// The zone's pixels are the class of a bordered mask; one blob search is
// made (`evidenzia`, once) and what it finds is traced whatever it returned
// (`archivia`, `MOD_evidenzia_contorno`, `filtraggio_condivisi`,
// `gestore_contorno`): a zone in several pieces gives the piece met first
// (lowest row of the picture, then leftmost), with the islands inside its
// holes; an empty zone gives a record with no parts and no points. Every
// zone thus appends exactly one record.
//
// The mask and work image are those of a window round the zone's pixels
// (work_window.h): the records are the same as on the whole image, at the
// cost of the zone's own surroundings.
//
// Plain twin: the whole-image re-trace of zonrik/tests/reference_zonrik.cpp:
// ReferenceZonrik::process.
#pragma once

#include "console.h"
#include "record_arrays.h"
#include "work_window.h"
#include "zone_rasteriser.h"

// Prints "blob in process: ... initializing" and appends the zone's record
// to `records` in pixel units of the width x height background.
void gestore(Console& console, const Zone& zone, int width, int height, WorkWindow& window, RecordArrays& records);
