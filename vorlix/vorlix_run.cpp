#include "vorlix_run.h"

#include "file.h"
#include "platform.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

bool size_matches(const VorlixRun& run)
{
    const auto size = file_size(run.nomefilein);
    if (!size || run.xdim < 0 || run.ydim < 0) return false;
    return *size == static_cast<std::uint64_t>(run.xdim) * static_cast<std::uint64_t>(run.ydim);
}

std::optional<std::error_code> load_parameters(VorlixRun& run)
{
    if (is_directory(parameters_file_name)) return std::make_error_code(std::errc::is_a_directory);
    errno = 0;
    File file = open_file(parameters_file_name, "rb");
    if (file) {
        std::printf("\n\n### CARICAMENTO PARAMETRI DAL FILE \"%s\" ###\n\n", parameters_file_name);
        run.parameters = read_parameters(file.get());
        if (std::ferror(file.get())) return last_system_error();
        run.outputs.add_input(parameters_file_name);
        return std::nullopt;
    }
    if (errno != ENOENT) return last_system_error();
    std::printf("\n\nImpossible to open \"%s\" in reading\n", parameters_file_name);
    std::printf("\n### CARICAMENTO PARAMETRI DI DEFAULT ###\n\n");
    run.parameters = default_parameters();
    return std::nullopt;
}
