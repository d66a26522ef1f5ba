// Vorlix's inputs: the image extent as typed on the command line, the RAW
// image and "vorlix_parameters.txt" (three sections; without the third the
// parameter file is missing), run as the program runs them: size_matches,
// load_parameters, parameters_problem, filtra (its files written
// into temporaries that go with the run).
#include "arguments.h"
#include "filtra.h"
#include "fuzz_support.h"
#include "vorlix_run.h"

#include <sstream>
#include <string>
#include <vector>

namespace {

// The work of one input is bounded here, not the parsing: the filter's cost
// grows with the image and with the number of radii it is asked for.
constexpr long long largest_image = 32 * 32;
constexpr long long most_radii = 8;

long long radius_count(const VorlixParameters& p)
{
    if (p.par_min_raggio > p.par_max_raggio) return 0;
    return (static_cast<long long>(p.par_max_raggio) - p.par_min_raggio) / p.par_step_raggio + 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string_view> files = fuzzing::split_sections(fuzzing::as_text(data, size), 3);
    if (files.size() < 2) return 0;
    std::istringstream words{std::string(files[0])};
    std::string xdim, ydim;
    if (!(words >> xdim >> ydim)) return 0;

    const fuzzing::InScratchFolder in_scratch;
    fuzzing::write_scratch("image.raw", files[1]);
    if (files.size() > 2)
        fuzzing::write_scratch(parameters_file_name, files[2]);
    else
        fuzzing::remove_scratch(parameters_file_name);

    VorlixRun run;
    run.console = fuzzing::empty_console();
    run.nome_input = "image";
    run.xdim = atoi_like(xdim.c_str());
    run.ydim = atoi_like(ydim.c_str());
    run.nomefilein = run.named(run.nome_input + ".raw");
    if (!size_matches(run)) return 0;
    if (load_parameters(run) || parameters_problem(run.parameters)) return 0;
    if (static_cast<long long>(run.xdim) * run.ydim > largest_image || radius_count(run.parameters) > most_radii)
        return 0;

    run.nomefileout = run.named(segments_file_name);
    // The run's files are written into temporaries, removed with the run.
    fuzzing::require(!filtra(run), "the filter stopped on files it can write");
    return 0;
}
