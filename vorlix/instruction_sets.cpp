#include "instruction_sets.h"

namespace {

bool processor_runs(InstructionSet set)
{
    switch (set) {
    case InstructionSet::baseline:
        return true;
    case InstructionSet::avx2:
#if VORLIX_AVX2_VERSIONS
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
#else
        return false;
#endif
    }
    return false;
}

}  // namespace

InstructionSet best_instruction_set()
{
    return processor_runs(InstructionSet::avx2) ? InstructionSet::avx2 : InstructionSet::baseline;
}

std::vector<InstructionSet> usable_instruction_sets()
{
    std::vector<InstructionSet> sets{InstructionSet::baseline};
    if (processor_runs(InstructionSet::avx2)) sets.push_back(InstructionSet::avx2);
    return sets;
}

const char* instruction_set_name(InstructionSet set)
{
    return set == InstructionSet::avx2 ? "avx2" : "baseline";
}
