#include "function_choice.h"

#include <cstdio>

namespace {

struct FunctionName {
    const char* spellings[3];
    const char* confirmation;
};

// In code order: the row's index is the function code.
const FunctionName function_names[] = {
    {{"mean", "Mean", "MEAN"}, "\n\nFunction = Mean"},
    {{"variance", "Variance", "VARIANCE"}, "\n\nFunction = Variance"},
    {{"lmean", "Lmean", "LMEAN"}, "\n\nFunction = Log Mean"},
    {{"lvariance", "Lvariance", "LVARIANCE"}, "\n\nFunction = Log Variance"},
    {{"c_cover", "C_cover", "C_COVER"}, "\n\nFunction = Collect Cover"},
    {{"sp_temp", "Sp_temp", "SP_TEMP"}, "\n\nFunction = Spatial Average Temperature"},
    {{"sqrt_variance", "Sqrt_variance", "SQRT_VARIANCE"}, "\n\nFunction = Square Variance"},
};

}  // namespace

std::optional<int> choose_function(const std::string& typology)
{
    int code = 0;
    for (const FunctionName& name : function_names) {
        for (const char* spelling : name.spellings) {
            if (typology == spelling) {
                std::fputs(name.confirmation, stdout);
                return code;
            }
        }
        ++code;
    }
    return std::nullopt;
}
