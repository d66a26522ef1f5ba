// vorlix: finds thin dark line structures in a single-band 8-bit RAW image
// and reduces them to straight segments in "segmenti.txt".

#include "arguments.h"
#include "console.h"
#include "exit_status.h"
#include "file.h"
#include "filtra.h"
#include "parameters.h"
#include "program_main.h"
#include "tile_share.h"
#include "vorlix_run.h"
#include "work_items.h"

#include <cstdio>
#include <optional>
#include <string>
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
    "rows from the top. Width and height must be whole numbers. Without\n"
    "<nomefile>.raw, <nomefile> may name any Byte raster GDAL reads (band 1):\n"
    "\"vorlix roads.tif 0 0\" takes width and height from it; given other than 0\n"
    "they must match it. The tuning parameters come from vorlix_parameters.txt\n"
    "in the current folder (twelve numbers); without that file the defaults\n"
    "apply.\n"
    "\n"
    "Writes segmenti.txt, one segment per line (x1 y1 x2 y2 score, CR LF), in the\n"
    "working folder when one is given, else in the current folder, and the empty\n"
    "marker file nomefile in the current folder. When the image is placed (a GDAL\n"
    "raster's georeferencing, or a standard world file such as <nomefile>.wld\n"
    "beside the RAW image), segmenti.bpw beside segmenti.txt holds the image's\n"
    "world file (outer corner, as traskel reads it), and segmenti.prj its CRS\n"
    "when known (the raster's, or a .prj beside the RAW image). All appear only\n"
    "when the run completes; a run that fails leaves the folders as they were,\n"
    "and no output may overwrite an input. The line mask passes through a\n"
    "working file of the run's own in the current folder\n"
    "(finale_grezza.raw.part-<process>-<n>), removed when the run ends, also when\n"
    "it is interrupted.\n"
    "\n"
    "Exit status: 0 done; 1 a width or height that is no whole number, a file\n"
    "size or raster extent that does not match them, a raster that is not Byte,\n"
    "a world file or .prj that cannot be used, an input or parameter file that\n"
    "cannot be read, parameters the filter cannot run with, or an output that\n"
    "cannot be written; 2 standard input ended at a prompt.\n",
    {{"threads", "N", "threads for the transforms, window tests, radii and candidate searches (default: all processors)"},
     {"line-mask", "FILE", "also write the cleaned line mask (0 line, 255 background; RAW bytes)"},
     {"statistics", "FILE", "a tile's run: the whole image's statistics (suite-tiles)"},
     {"core", "X,Y,W,H", "a tile's run: the pixels it answers for (suite-tiles)"},
     {"measure", "FILE", "a tile's run: its core's share of the statistics, instead of segments"}},
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
        run.from_command_line(argc, argv, 4, run.console);
        return std::nullopt;
    }
    run.nome_input = run.console.ask_word("Input file: ");
    run.xdim = run.console.ask_int("\nWidth: ");
    run.ydim = run.console.ask_int("\nHeight: ");
    return std::nullopt;
}

// The --threads value: a whole number from 1 up; none when it is anything else.
std::optional<int> thread_count(const std::string& text)
{
    const std::optional<int> count = whole_int(text);
    if (!count || *count < 1) return std::nullopt;
    return count;
}

// The options of a tile's run (suite-tiles); none to go on, else the exit
// status after the message.
std::optional<int> read_tile_options(VorlixRun& run, CommandLine& line)
{
    if (const auto text = line.value("core")) {
        run.tile.core = parse_pixel_window(*text);
        if (!run.tile.core)
            return refuse_option(vorlix_info, "the option '--core' needs X,Y,W,H (whole numbers, W and H from 1), not '" +
                                                  *text + "'");
    }
    if (const auto file = line.value("statistics")) {
        std::string problem;
        const auto statistics = read_statistics(*file, problem);
        if (!statistics) return refuse_option(vorlix_info, problem);
        run.tile.given = *statistics;
        run.outputs.add_input(*file);
    }
    if (const auto file = line.value("measure")) {
        if (!run.tile.core) return refuse_option(vorlix_info, "the option '--measure' needs '--core'");
        run.statistics_out = *file;
    }
    return std::nullopt;
}

int run_vorlix(VorlixRun& run, CommandLine& line)
{
    run.threads = processor_threads();
    if (const auto text = line.value("threads")) {
        const std::optional<int> count = thread_count(*text);
        if (!count)
            return refuse_option(vorlix_info,
                                 "the option '--threads' needs a whole number from 1 up, not '" + *text + "'");
        run.threads = *count;
    }
    if (const auto status = read_tile_options(run, line)) return *status;
    std::vector<char*> argv = line.argv();
    if (const auto status = read_arguments(run, line.argc(), argv.data())) return *status;
    run.nomefilein = run.named(run.nome_input + ".raw");
    if (!open_file(run.nomefilein, "rb"))
        if (const auto status = take_gdal_image(run)) return *status;
    if (!run.through_gdal && !size_matches(run)) {
        std::printf("\nERROR: file size of \"%s\" not matching with xdim & ydim!\n\nUSAGE: vorlix <nomefile> <xdim> "
                    "<ydim>\n",
                    run.nomefilein.c_str());
        return exit_status::vorlix_failure;
    }
    run.outputs.add_input(run.nomefilein);
    if (const auto status = place_image(run)) return *status;
    if (const auto error = load_parameters(run)) {
        std::printf("\nERROR: \"%s\" cannot be read: %s\n", parameters_file_name, error->message().c_str());
        return exit_status::vorlix_failure;
    }
    if (const auto problem = parameters_problem(run.parameters)) {
        std::printf("\nERROR: %s\n", problem->c_str());
        return exit_status::vorlix_failure;
    }

    run.nomefileout = run.named(segments_file_name);
    std::vector<std::string> outputs = {run.nomefileout, marker_file_name};
    for (const std::string& file : placement_files(run)) outputs.push_back(file);
    if (const auto file = line.value("line-mask")) outputs.push_back(run.line_mask = run.named(*file));
    if (!run.statistics_out.empty()) outputs = {run.statistics_out};
    for (const std::string& output : outputs)
        if (const auto problem = run.outputs.add_output(output)) {
            report_output_problem(*problem);
            return exit_status::error;
        }
    if (const auto status = filtra(run)) return *status;
    if (run.statistics_out.empty() && !write_placement_files(run)) return exit_status::error;
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
