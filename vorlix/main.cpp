// vorlix: finds thin dark line structures in a single-band 8-bit RAW image
// and reduces them to straight segments in "segmenti.txt".
//
//   vorlix <nomefile> <xdim> <ydim> [working folder words...] [--threads N]
//
// Without the three arguments it prompts for them and waits for a key at
// the end.

#include "arguments.h"
#include "console.h"
#include "exit_status.h"
#include "filtra.h"
#include "parameters.h"
#include "paths.h"
#include "platform.h"
#include "program_main.h"
#include "vorlix_run.h"
#include "work_items.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

const ProgramInfo vorlix_info = {
    "vorlix",
    "finds thin dark lines in an 8-bit RAW image and writes them as straight segments",
    "Usage:\n"
    "  vorlix <nomefile> <xdim> <ydim> [working folder]\n"
    "  vorlix            (asks \"Input file: \", \"Width: \" and \"Height: \")\n"
    "\n"
    "Reads <nomefile>.raw, xdim x ydim bytes, from the working folder when one is\n"
    "given, and writes the segments to segmenti.txt there, one \"x1 y1 x2 y2 score\"\n"
    "line each. The tuning parameters come from vorlix_parameters.txt in the\n"
    "current folder, or from the built-in defaults.\n"
    "\n"
    "Exit status: 0 done (also when the input cannot be opened); 1 a file size\n"
    "that does not match xdim x ydim, parameters that cannot work, an output that\n"
    "cannot be written, or a wrong option.\n",
    {{"threads", "N", "threads for the transforms and window tests (default: all processors)"}},
    "\nError in memory allocation\n",
    exit_status::vorlix_failure,
};

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

// The --threads value: a whole number from 1 up; none when it is anything else.
std::optional<int> thread_count(const std::string& text)
{
    int count = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || count > 100000) return std::nullopt;
        count = count * 10 + (c - '0');
    }
    if (text.empty() || count < 1) return std::nullopt;
    return count;
}

int run_vorlix(VorlixRun& run, CommandLine& line)
{
    run.threads = processor_threads();
    if (const auto text = line.value("threads")) {
        const std::optional<int> count = thread_count(*text);
        if (!count) {
            std::fprintf(stderr,
                         "vorlix: the option '--threads' needs a whole number from 1 up, not '%s'\n"
                         "Run 'vorlix --help' for the usage.\n",
                         text->c_str());
            return exit_status::usage;
        }
        run.threads = *count;
    }
    std::vector<char*> argv = line.argv();
    read_arguments(run, line.argc(), argv.data());
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
    VorlixRun run;
    return program_main(argc, argv, vorlix_info, [&](CommandLine& line) { return run_vorlix(run, line); });
}
