// Drelwin: draws the segments of a segments text file as black lines on a
// white 8-bit grey BMP of the size the user gives.

#include "bmp.h"
#include "console.h"
#include "disegna.h"
#include "exit_status.h"
#include "geo_input.h"
#include "geo_output.h"
#include "output_choices.h"
#include "output_files.h"
#include "program_main.h"
#include "segment_loader.h"
#include "segment_tool_arguments.h"
#include "sidecar_names.h"

#if SUITE_HAVE_GDAL
#include "geotiff_writer.h"
#endif

#include <cctype>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <vector>

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
    "is given. When a world file lies beside the segments file (its name with\n"
    "the last three letters replaced by \"bpw\", the image's outer corner; else\n"
    "a standard \".wld\"), the image is placed: a standard world file \".wld\"\n"
    "is written beside it, and the \".prj\" found beside the segments file (or\n"
    "the world file) is carried over. With --of GTiff a GeoTIFF is written\n"
    "instead, the name's extension made \".tif\": Byte, grey palette, placed,\n"
    "no nodata. Outputs appear only when the run completes; a run that fails\n"
    "leaves the folder as it was, and no output may overwrite an input (a\n"
    "sidecar that is the very file read beside the segments is left as it is).\n"
    "\n"
    "Exit status: 0 done (warnings included); 1 a width or height that is not a\n"
    "whole number above 0, an output format not written, a segments file that\n"
    "cannot be opened or read, a world file or \".prj\" that cannot be used, an\n"
    "image too large for the memory, or an output that cannot be written; 2\n"
    "standard input ended at a prompt; 255 not enough memory for anything else.\n",
    output_options({true, false}),
    "\nError in memory allocation\n",
    exit_status::failure,
};

struct Drelwin : SegmentToolArguments {
    Console console;
    OutputChoices choices;               // --of GTiff (--gis changes nothing in a raster)
    Georeference georeference;           // where the segments' image lies
    std::vector<std::string> geo_files;  // the files that told it
    std::string output;                  // the image's name, in the working folder when one was given
    std::vector<std::string> sidecars;   // its ".wld" and ".prj", when written
    OutputFiles outputs;  // the BMP, put in place when the run completes
};

bool as_geotiff(const Drelwin& run)
{
    return run.choices.format == OutputFormat::gtiff;
}

// The output's name: as given, or with --of GTiff its extension made ".tif"
// (".tif" and ".tiff" kept).
std::string output_name(const Drelwin& run)
{
    const std::string name = run.named(run.nome_output);
    if (!as_geotiff(run)) return name;
    std::string extension = name_extension(name);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == "tif" || extension == "tiff" ? name : with_extension(name, "tif");
}

// The world file beside the segments file (the suite's ".bpw", else a
// standard ".wld") and the ".prj", inputs of the run; one that cannot place
// the image is refused.
std::optional<int> place_image(Drelwin& run)
{
    const std::optional<std::string> world = world_file_path(run.check_path, run.path, run.nome_input, "bpw");
    const WorldFile bpw = read_world_file(world);
    if (bpw.found) run.outputs.add_input(*world);
    if (!world_file_usable(bpw)) {
        std::printf("\nError: the world file '%s' does not hold six finite values with cell sizes other than 0\n",
                    world->c_str());
        return exit_status::error;
    }
    if (const GeoProblem problem =
            data_file_georeference(run.named(run.nome_input), bpw, world, run.georeference, run.geo_files)) {
        std::printf("\nError: %s\n", problem.message().c_str());
        return exit_status::error;
    }
    for (const std::string& file : run.geo_files) run.outputs.add_input(file);
    return std::nullopt;
}

// Writes the raster into its temporary (BMP or GeoTIFF); false after the
// message.
bool write_image(Drelwin& run, const Grid<std::uint8_t>& Immagine)
{
    const OutputFiles::Temporary temporary = run.outputs.temporary(run.output);
    if (temporary.problem) {
        report_output_problem(*temporary.problem);
        return false;
    }
#if SUITE_HAVE_GDAL
    if (as_geotiff(run)) {
        const RasterGeoreferencing georeferencing{run.georeference.world, run.georeference.crs, std::nullopt};
        const GeoProblem problem =
            write_geotiff(temporary.path, Immagine, RowOrder::top_first, grey_palette(), georeferencing);
        if (!problem) return true;
        std::printf("\nError in writing image\n");
        report_write_failure(run.output, problem.reason());
        return false;
    }
#endif
    if (const std::error_code error = bmp_grayscale256_create(temporary.path, Immagine)) {
        if (error == std::errc::not_enough_memory) {
            std::fputs("Error in crating bmp image\n", stdout);
            report_write_failure(run.output, error);
            run.console.wait_for_key();
        } else {
            report_output_problem({OutputProblem::Kind::cannot_create, run.output, {}, error});
        }
        return false;
    }
    return true;
}

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
    if (const auto status = place_image(run)) return status;
    run.output = output_name(run);
    if (!as_geotiff(run)) run.sidecars = raster_sidecars(run.output, run.georeference);
    auto problem = run.outputs.add_output(run.output);
    if (!problem) problem = add_sidecar_outputs(run.outputs, run.sidecars, run.geo_files);
    if (problem) {
        report_output_problem(*problem);
        return exit_status::error;
    }

    SegmentsFile input = read_segments_file(run.named(run.nome_input), std::nullopt);
    if (!input.readable) return fail(run, "\nError in file opening");
    const std::optional<Grid<std::uint8_t>> Immagine = make_raster(run, input);
    if (!Immagine) return exit_status::error;
    input.table.reset();

    if (!write_image(run, *Immagine)) return exit_status::error;
    if (const auto sidecar = write_sidecars(run.outputs, run.sidecars, run.georeference)) {
        std::printf("\nError in writing image\n");
        report_write_failure(sidecar->path, sidecar->reason);
        return exit_status::error;
    }
    return std::nullopt;
}

int run_drelwin(Drelwin& run, CommandLine& line)
{
    if (const auto problem = take_output_choices(line, {true, false}, run.choices)) {
        std::printf("\nError: %s\n", problem->c_str());
        return exit_status::usage;
    }
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
