// vorlix: finds thin dark line structures in a single-band 8-bit RAW image
// and reduces them to straight segments in "segmenti.txt".

#include "arguments.h"
#include "console.h"
#include "exit_status.h"
#include "filtra.h"
#include "parameters.h"
#include "program_main.h"
#include "vorlix_run.h"

#include <cstdio>
#include <vector>

namespace {

const ProgramInfo vorlix_info = {
    "vorlix",
    "finds thin dark lines in an 8-bit RAW image and reduces them to straight segments",
    "Usage:\n"
    "  vorlix <nomefile> <xdim> <ydim> [working folder]\n"
    "  vorlix           (asks \"Input file: \", \"Width: \" and \"Height: \")\n"
    "\n"
    "Reads <nomefile>.raw (the name is given without \".raw\"), xdim x ydim bytes,\n"
    "rows from the top. Width and height must be whole numbers. The tuning\n"
    "parameters come from vorlix_parameters.txt in the current folder (twelve\n"
    "numbers); without that file the defaults apply.\n"
    "\n"
    "Writes segmenti.txt, one segment per line (x1 y1 x2 y2 score, CR LF), in the\n"
    "working folder when one is given, else in the current folder, and the empty\n"
    "marker file nomefile in the current folder. Both appear only when the run\n"
    "completes; a run that fails leaves the folders as they were, and no output\n"
    "may overwrite an input. The line mask passes through a working file of the\n"
    "run's own in the current folder (finale_grezza.raw.part-<process>-<n>),\n"
    "removed when the run ends, also when it is interrupted.\n"
    "\n"
    "Exit status: 0 done; 1 a width or height that is no whole number, a file\n"
    "size that does not match them, an input or parameter file that cannot be\n"
    "read, parameters the filter cannot run with, or an output that cannot be\n"
    "written; 2 standard input ended at a prompt.\n",
    {},
    "\nError in memory allocation\n",
    exit_status::vorlix_failure,
};

std::optional<int> read_arguments(VorlixRun& run, int argc, char** argv)
{
    if (argc >= 4) {
        run.nome_input = argv[1];
        const std::optional<int> xdim = whole_int(argv[2]);
        const std::optional<int> ydim = whole_int(argv[3]);
        if (!xdim || !ydim) {
            const std::string problem = xdim ? not_a_whole_number(argv[3], "height") : not_a_whole_number(argv[2], "width");
            std::printf("\nError: %s\n", problem.c_str());
            return exit_status::error;
        }
        run.xdim = *xdim;
        run.ydim = *ydim;
        run.from_command_line(argc, argv, 4);
        return std::nullopt;
    }
    run.nome_input = run.console.ask_word("Input file: ");
    run.xdim = run.console.ask_int("\nWidth: ");
    run.ydim = run.console.ask_int("\nHeight: ");
    return std::nullopt;
}

int run_vorlix(VorlixRun& run, CommandLine& line)
{
    std::vector<char*> argv = line.argv();
    if (const auto status = read_arguments(run, line.argc(), argv.data())) return *status;
    run.nomefilein = run.named(run.nome_input + ".raw");
    if (!size_matches(run)) {
        std::printf("\nERROR: file size of \"%s\" not matching with xdim & ydim!\n\nUSAGE: vorlix <nomefile> <xdim> "
                    "<ydim>\n",
                    run.nomefilein.c_str());
        return exit_status::vorlix_failure;
    }
    run.outputs.add_input(run.nomefilein);
    if (const auto error = load_parameters(run)) {
        std::printf("\nERROR: \"%s\" cannot be read: %s\n", parameters_file_name, error->message().c_str());
        return exit_status::vorlix_failure;
    }
    if (const auto problem = parameters_problem(run.parameters)) {
        std::printf("\nERROR: %s\n", problem->c_str());
        return exit_status::vorlix_failure;
    }

    run.nomefileout = run.named(segments_file_name);
    for (const std::string& output : {run.nomefileout, std::string(marker_file_name)})
        if (const auto problem = run.outputs.add_output(output)) {
            report_output_problem(*problem);
            return exit_status::error;
        }
    if (const auto status = filtra(run)) return *status;
    if (const auto problem = run.outputs.commit()) {
        report_output_problem(*problem);
        return exit_status::error;
    }

    if (!run.check_line_com) {
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
