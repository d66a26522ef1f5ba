// Drelwin: draws the segments of a segments text file as black lines on a
// white 8-bit grey BMP of the size the user gives.

#include "bmp.h"
#include "console.h"
#include "disegna.h"
#include "exit_status.h"
#include "output_files.h"
#include "program_main.h"
#include "segment_loader.h"
#include "segment_tool_arguments.h"

#include <cstdio>
#include <new>
#include <optional>
#include <string>

namespace {

const ProgramInfo drelwin_info = {
    "drelwin",
    "draws the segments of a segments text file into an 8-bit grey BMP",
    "Usage:\n"
    "  drelwin <segments file> <output.bmp> <width> <height> [working folder]\n"
    "  drelwin        (asks \"Input File=\", \"Output file=\", \"Larghezza=\" (width)\n"
    "                  and \"Altezza=\" (height))\n"
    "\n"
    "The segments file holds x1 y1 x2 y2 per segment, in pixels (y the row from\n"
    "the top), and may hold a fifth value per segment (a score), which is\n"
    "ignored. Each segment is drawn as a black one-pixel line on a white image\n"
    "of width x height; parts outside the image are left out. A file holding\n"
    "nothing but white space (no segments) and a file that is no valid segments\n"
    "file both give an all-white image, with a warning.\n"
    "\n"
    "Writes the output BMP under the name given, in the working folder when one\n"
    "is given. It appears only when the run completes; a run that fails leaves\n"
    "the folder as it was, and the output may not overwrite the input.\n"
    "\n"
    "Exit status: 0 done (warnings included); 1 a width or height that is not a\n"
    "whole number above 0, a segments file that cannot be opened or read, an\n"
    "image too large for the memory, or an output that cannot be written; 2\n"
    "standard input ended at a prompt; 255 not enough memory for anything else.\n",
    {},
    "\nError in memory allocation\n",
    exit_status::failure,
};

struct Drelwin : SegmentToolArguments {
    Console console;
    OutputFiles outputs;  // the BMP, put in place when the run completes
};

// An error message and the wait for a key; the run then ends with status 1.
int fail(Drelwin& run, const char* message)
{
    std::fputs(message, stdout);
    run.console.wait_for_key();
    return exit_status::error;
}

// The raster to write: the segments drawn, or all white when the file holds
// no segments or is no valid segments file (said in a warning). None, after
// the message, when it cannot be held.
std::optional<Grid<std::uint8_t>> make_raster(Drelwin& run, const SegmentsFile& input)
{
    if (!input.table)
        std::printf(input.blank ? "\nWarning: '%s' holds no segments: the image is all white"
                                : "\nWarning: '%s' is not a valid segments file: the image is all white",
                    run.nome_input.c_str());
    try {
        if (input.table) return disegna(*input.table, input.table->n_segm, run.width, run.height);
        return Grid<std::uint8_t>(run.width, run.height, drelwin_background);
    } catch (const std::bad_alloc&) {
        fail(run, "\nError in writing image");
        return std::nullopt;
    }
}

// Draws the file and writes the BMP into its temporary.
std::optional<int> draw_file(Drelwin& run)
{
    if (const auto problem = image_size_problem(run.width, run.height)) return fail(run, problem->c_str());
    run.outputs.add_input(run.named(run.nome_input));
    const std::string output = run.named(run.nome_output);
    if (const auto problem = run.outputs.add_output(output)) {
        report_output_problem(*problem);
        return exit_status::error;
    }

    SegmentsFile input = read_segments_file(run.named(run.nome_input), std::nullopt);
    if (!input.readable) return fail(run, "\nError in file opening");
    const std::optional<Grid<std::uint8_t>> Immagine = make_raster(run, input);
    if (!Immagine) return exit_status::error;
    input.table.reset();

    const OutputFiles::Temporary temporary = run.outputs.temporary(output);
    if (temporary.problem) {
        report_output_problem(*temporary.problem);
        return exit_status::error;
    }
    if (const std::error_code error = bmp_grayscale256_create(temporary.path, *Immagine)) {
        if (error == std::errc::not_enough_memory) {
            std::fputs("Error in crating bmp image\n", stdout);
            report_write_failure(output, error);
            run.console.wait_for_key();
        } else {
            report_output_problem({OutputProblem::Kind::cannot_create, output, {}, error});
        }
        return exit_status::error;
    }
    return std::nullopt;
}

int run_drelwin(Drelwin& run, CommandLine& line)
{
    std::vector<char*> argv = line.argv();
    if (const auto problem =
            take_segment_tool_arguments(run, run.console, line.argc(), argv.data(), {"\nLarghezza=", "\nAltezza="})) {
        std::printf("\nError: %s\n", problem->c_str());
        return exit_status::usage;
    }
    int status = draw_file(run).value_or(exit_status::success);
    if (status == exit_status::success)
        if (const auto problem = run.outputs.commit()) {
            report_output_problem(*problem);
            status = exit_status::error;
        }
    std::fputs("\nEnd", stdout);
    if (!run.check_line_com) run.console.wait_for_key();
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    Drelwin run;
    return program_main(argc, argv, drelwin_info, [&](CommandLine& line) { return run_drelwin(run, line); });
}
