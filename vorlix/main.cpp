// vorlix: finds thin dark line structures in a single-band 8-bit RAW image
// and reduces them to straight segments in "segmenti.txt".
//
//   vorlix <nomefile> <xdim> <ydim> [working folder words...]
//
// Without the three arguments it prompts for them and waits for a key at
// the end.

#include "arguments.h"
#include "console.h"
#include "exit_status.h"
#include "filtra.h"
#include "guarded_main.h"
#include "parameters.h"
#include "paths.h"
#include "platform.h"
#include "vorlix_run.h"

#include <cstdio>

namespace {

void read_arguments(VorlixRun& run, int argc, char** argv)
{
    if (argc >= 4) {
        run.nome_input = argv[1];
        run.xdim = atoi_like(argv[2]);
        run.ydim = atoi_like(argv[3]);
        if (argc >= 5) {
            run.path = join_arguments(argc, argv, 4);
            run.check_path = true;
        }
        return;
    }
    run.interactive = true;
    std::printf("Input file: ");
    run.nome_input = run.console.read_word();
    std::printf("\nWidth: ");
    run.xdim = run.console.read_int();
    std::printf("\nHeight: ");
    run.ydim = run.console.read_int();
}

int run_vorlix(int argc, char** argv)
{
    VorlixRun run;
    read_arguments(run, argc, argv);
    run.nomefilein = in_folder(run.check_path, run.path, run.nome_input + ".raw");
    if (!size_matches(run)) {
        std::printf("\nERROR: file size of \"%s\" not matching with xdim & ydim!\n\nUSAGE: vorlix <nomefile> <xdim> "
                    "<ydim>\n",
                    run.nomefilein.c_str());
        return exit_status::vorlix_failure;
    }
    load_parameters(run);
    if (const auto problem = parameters_problem(run.parameters)) {
        std::printf("\nERROR: %s\n", problem->c_str());
        return exit_status::vorlix_failure;
    }

    const FilterOutcome outcome = filtra(run);
    if (!outcome.completed) return outcome.exit_status;

    remove_file(working_file_name);
    if (run.interactive) {
        // The first key consumes the end of the line the height was typed on.
        run.console.wait_for_key();
        run.console.wait_for_key();
    }
    return exit_status::success;
}

}  // namespace

int main(int argc, char** argv)
{
    return guarded_main([&] { return run_vorlix(argc, argv); }, "\nError in memory allocation\n",
                        exit_status::vorlix_failure);
}
