// How the filter's heavy stages are worked, never what they compute: the
// results are the same bytes whatever these are.
#pragma once

#include "instruction_sets.h"

struct FilterWork {
    int threads = 1;  // threads the transforms and the window tests share rows over
    InstructionSet instruction_set = best_instruction_set();
    // Every deviation of the grouped transforms worked again in the
    // per-pixel procedure's own order, not only the doubtful ones (to prove
    // that path on ordinary images).
    bool recheck_every_deviation = false;
};
