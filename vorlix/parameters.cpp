#include "parameters.h"

#include "number_scanner.h"

VorlixParameters default_parameters()
{
    VorlixParameters p;
    p.par_min_raggio = 5;
    p.par_max_raggio = 40;
    p.par_step_raggio = 5;
    p.par_soglia_minrad = 0.9;
    p.par_soglia_varrad = 0.92;
    p.par_soglia_ang = 210.0;
    p.par_quadrosoglia = 8;
    p.par_min_blob = 16;
    p.par_blob_max = 1000;
    p.par_reclass_source = 1.35;
    p.par_reclass_minrad = 1.35;
    p.par_reclass_varrad = 1.5;
    return p;
}

namespace {

// "%d" as the GNU C library reads and stores it: beyond the int range, the
// low 32 bits.
bool read_value(FileSource& in, int& value)
{
    const std::optional<int> read = scan_int(in, OutOfRange::wrap);
    if (!read) return false;
    value = *read;
    return true;
}

// "%lf": its words and hexadecimal numbers too.
bool read_value(FileSource& in, double& value)
{
    const std::optional<double> read = scan_double(in, NumberForm::c_library_float());
    if (!read) return false;
    value = *read;
    return true;
}

}  // namespace

VorlixParameters read_parameters(std::FILE* file)
{
    FileSource in(file);
    VorlixParameters p;
    read_value(in, p.par_min_raggio) && read_value(in, p.par_max_raggio) &&
        read_value(in, p.par_step_raggio) && read_value(in, p.par_soglia_minrad) &&
        read_value(in, p.par_soglia_varrad) && read_value(in, p.par_soglia_ang) &&
        read_value(in, p.par_quadrosoglia) && read_value(in, p.par_min_blob) &&
        read_value(in, p.par_blob_max) && read_value(in, p.par_reclass_source) &&
        read_value(in, p.par_reclass_minrad) && read_value(in, p.par_reclass_varrad);
    return p;
}

std::optional<std::string> parameters_problem(const VorlixParameters& p)
{
    if (p.par_step_raggio < 1)
        return "the radius step (third value of \"" + std::string(parameters_file_name) +
               "\") must be at least 1, not " + std::to_string(p.par_step_raggio);
    if (p.par_quadrosoglia < 0)
        return "the window half side (seventh value of \"" + std::string(parameters_file_name) +
               "\") must not be negative, not " + std::to_string(p.par_quadrosoglia);
    return std::nullopt;
}
