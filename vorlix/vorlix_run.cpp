#include "vorlix_run.h"

#include "exit_status.h"
#include "file.h"
#include "geo_output.h"
#include "paths.h"
#include "platform.h"
#include "program_main.h"
#include "raw.h"
#include "sidecar_names.h"

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

std::optional<int> take_gdal_image(VorlixRun& run)
{
    const std::string name = run.named(run.nome_input);
    GdalRasterFacts facts;
    Georeference georeference;
    GeoProblem problem = describe_through_gdal(name, facts, georeference);
    if (problem == GeoProblem::Kind::cannot_open) return std::nullopt;
    if (!problem && facts.data_type != "Byte") problem = {GeoProblem::Kind::not_byte, name, facts.data_type};
    if (problem) {
        std::printf("\nERROR: %s\n", problem.message().c_str());
        return exit_status::vorlix_failure;
    }
    if ((run.xdim != 0 && run.xdim != facts.width) || (run.ydim != 0 && run.ydim != facts.height)) {
        std::printf("\nERROR: \"%s\" is %d x %d pixels, not matching with xdim & ydim!\n\nUSAGE: vorlix <nomefile> "
                    "<xdim> <ydim>\n",
                    name.c_str(), facts.width, facts.height);
        return exit_status::vorlix_failure;
    }
    run.nomefilein = name;
    run.through_gdal = true;
    run.georeference = georeference;
    run.xdim = facts.width;
    run.ydim = facts.height;
    for (const std::string& file : facts.files) run.outputs.add_input(file);
    return std::nullopt;
}

std::optional<int> place_image(VorlixRun& run)
{
    for (const std::string& file : georeference_files(run.nomefilein)) run.outputs.add_input(file);
    if (const GeoProblem problem = complete_georeference(run.nomefilein, run.georeference)) {
        std::printf("\nERROR: %s\n", problem.message().c_str());
        return exit_status::vorlix_failure;
    }
    return std::nullopt;
}

std::vector<std::string> placement_files(const VorlixRun& run)
{
    std::vector<std::string> files;
    if (run.georeference.placed()) files.push_back(replace_last_chars(run.nomefileout, 3, "bpw").value_or(""));
    if (!run.georeference.crs.empty()) files.push_back(replace_last_chars(run.nomefileout, 3, "prj").value_or(""));
    return files;
}

bool write_placement_files(VorlixRun& run)
{
    for (const std::string& file : placement_files(run)) {
        const bool world = name_extension(file) == "bpw";
        std::string reason;
        if (world) {
            const OutputFiles::Temporary temporary = run.outputs.temporary(file);
            if (temporary.problem)
                reason = temporary.problem->message();
            else if (const std::error_code error = write_world_file(temporary.path, run.georeference.world))
                reason = error.message();
        } else if (const auto problem = write_sidecars(run.outputs, {file}, run.georeference)) {
            reason = problem->reason;
        }
        if (!reason.empty()) {
            std::printf("\n\nImpossibile aprire il file <%s> in scrittura\n", world ? "segmenti.bpw" : "segmenti.prj");
            std::printf("cannot write '%s': %s\n", file.c_str(), reason.c_str());
            return false;
        }
    }
    return true;
}

bool read_image(const VorlixRun& run, Grid<std::uint8_t>& immagine)
{
    if (!run.through_gdal) {
        immagine.resize(run.xdim, run.ydim, 0);
        return read_raw_bytes(run.nomefilein, immagine.cells().size(), immagine.cells());
    }
    Georeference georeference;
    if (const GeoProblem problem = read_bytes_through_gdal(run.nomefilein, immagine, georeference)) {
        std::printf("\nERROR: %s", problem.message().c_str());
        return false;
    }
    return true;
}
