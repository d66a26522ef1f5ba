#include "parameters.h"

#include "file.h"
#include "number_scanner.h"
#include "platform.h"

#include <cctype>

namespace {

// The parameter a key text (its "=" included) sets, or none.
int* parameter_of(const std::string& key, TalvernParameters& parameters)
{
    if (key == "max_gap_building_shadow =") return &parameters.soglia_blob_shadow;
    if (key == "max_lenght_shadow =") return &parameters.max_dist_search;
    if (key == "min_perc_shadow_sample =") return &parameters.soglia_percentuale_campioni;
    if (key == "max_perc_deviation_sample =") return &parameters.soglia_scostamento_massimo;
    return nullptr;
}

bool skipped_between_keys(const std::string& text, std::size_t pos)
{
    const char c = text[pos];
    if (c == '\n' || c == ' ' || c == '\t' || std::isdigit(static_cast<unsigned char>(c))) return true;
    // A carriage return goes with the newline after it.
    return c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n';
}

}  // namespace

void read_parameter_text(const std::string& text, TalvernParameters& parameters)
{
    std::size_t pos = 0;
    for (;;) {
        while (pos < text.size() && skipped_between_keys(text, pos)) ++pos;
        if (pos >= text.size()) return;
        const std::size_t equals = text.find('=', pos);
        if (equals == std::string::npos) return;  // a key cut by the end of the file
        const std::string key = text.substr(pos, equals + 1 - pos);
        pos = equals + 1;
        if (int* parameter = parameter_of(key, parameters)) {
            // "%d", clamped to the int range; without a number the reading
            // goes on after the white space.
            TextSource in(text, pos);
            if (const std::optional<int> value = scan_int(in, OutOfRange::clamp)) *parameter = *value;
            pos = in.position();
        }
    }
}

std::error_code lettura_parametri(std::FILE* fp_param, TalvernParameters& parameters)
{
    std::string text;
    char buffer[4096];
    std::size_t got = 0;
    errno = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, fp_param)) > 0) text.append(buffer, got);
    if (std::ferror(fp_param)) return last_system_error();
    read_parameter_text(text, parameters);
    return {};
}

std::error_code load_parameters(TalvernParameters& parameters)
{
    parameters = TalvernParameters();
    // Some systems open a folder as a file that reads as empty.
    if (is_directory(nome_file_param)) return std::make_error_code(std::errc::is_a_directory);
    errno = 0;
    File fp_param = open_file(nome_file_param, "rb");
    if (!fp_param) return last_system_error();
    return lettura_parametri(fp_param.get(), parameters);
}
