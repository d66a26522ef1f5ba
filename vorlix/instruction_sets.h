// The instruction sets the hot loops of the filter are compiled for. One
// binary carries a version of each loop per set and picks, at run time, the
// widest one the processor runs; every version gives the same bytes.
#pragma once

#include <vector>

enum class InstructionSet {
    baseline,  // the x86-64 (or other target's) baseline
    avx2,      // 256-bit integer vectors
};

// GCC and Clang on x86 compile an AVX2 version beside the baseline one.
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define VORLIX_AVX2_VERSIONS 1
#define VORLIX_TARGET_AVX2 __attribute__((target("avx2"), flatten))
#else
#define VORLIX_AVX2_VERSIONS 0
#endif

// The widest set with a compiled version that this processor runs.
InstructionSet best_instruction_set();

// Every set with a compiled version that this processor runs, baseline first.
std::vector<InstructionSet> usable_instruction_sets();

const char* instruction_set_name(InstructionSet set);
