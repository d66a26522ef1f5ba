// Talvern's parameter file "raise_parameters.txt", read by lettura_parametri
// twice: from the defaults and from other starting values. What the reading
// promises: a parameter changes only when its key text stands in the file,
// and then to the same value whatever it held before (the last readable
// entry wins; a recognised key without an integer keeps the previous value).
// Reading the file once more changes nothing.
#include "file.h"
#include "fuzz_support.h"
#include "parameters.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<const char*, 4> key_texts = {"max_gap_building_shadow =", "max_lenght_shadow =",
                                                  "min_perc_shadow_sample =", "max_perc_deviation_sample ="};

std::array<int, 4> values_of(const TalvernParameters& p)
{
    return {p.soglia_blob_shadow, p.max_dist_search, p.soglia_percentuale_campioni, p.soglia_scostamento_massimo};
}

std::array<int, 4> read_from(const std::string& path, const TalvernParameters& start)
{
    TalvernParameters parameters = start;
    File fp_param = open_file(path, "rb");
    fuzzing::require(static_cast<bool>(fp_param), "cannot open the parameter file");
    lettura_parametri(fp_param.get(), parameters);
    return values_of(parameters);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzzing::write_scratch(nome_file_param, data, size);
    const std::string_view text = fuzzing::as_text(data, size);

    const TalvernParameters defaults;
    TalvernParameters others;
    others.soglia_blob_shadow = -7;
    others.max_dist_search = 123456;
    others.soglia_percentuale_campioni = -2147483647;
    others.soglia_scostamento_massimo = 2147483647;

    const std::array<int, 4> from_defaults = read_from(path, defaults);
    const std::array<int, 4> from_others = read_from(path, others);
    const std::array<int, 4> default_values = values_of(defaults), other_values = values_of(others);
    for (std::size_t i = 0; i < key_texts.size(); ++i) {
        const bool set = from_others[i] != other_values[i];
        if (text.find(key_texts[i]) == std::string_view::npos)
            fuzzing::require(!set && from_defaults[i] == default_values[i], "a parameter changed without its key");
        if (set)
            fuzzing::require(from_defaults[i] == from_others[i], "an entry's value depends on the previous one");
        else
            fuzzing::require(from_defaults[i] == default_values[i] || from_defaults[i] == other_values[i],
                             "a parameter was set from one start and not from the other");
    }

    TalvernParameters again;
    again.soglia_blob_shadow = from_defaults[0];
    again.max_dist_search = from_defaults[1];
    again.soglia_percentuale_campioni = from_defaults[2];
    again.soglia_scostamento_massimo = from_defaults[3];
    fuzzing::require(read_from(path, again) == from_defaults, "reading the file twice changes it");
    return 0;
}
