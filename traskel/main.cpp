// Traskel: a segments text file to one shapefile, a polyline per segment or
// a polygon per closed group of four segments, in map units when a world
// file lies beside the segments file.

#include "console.h"
#include "exit_status.h"
#include "output_files.h"
#include "program_main.h"
#include "segment_loader.h"
#include "segment_shapes.h"
#include "segment_tool_arguments.h"
#include "shapefile_writer.h"
#include "world_file.h"

#include <cstdio>
#include <optional>
#include <string>

namespace {

const ProgramInfo traskel_info = {
    "traskel",
    "turns a segments text file into a polyline (or quadrilateral polygon) shapefile",
    "Usage:\n"
    "  traskel <segments file> <output name> <width> <height> [working folder]\n"
    "  traskel        (asks \"Input File=\", \"Output file=\", \"Width=\" and \"Height=\")\n"
    "\n"
    "The segments file holds x1 y1 x2 y2 per segment, in pixels of an image of\n"
    "width x height (y the row from the top), and may hold a fifth value per\n"
    "segment (a score), which is ignored. Each segment becomes a two-vertex\n"
    "polyline; when the segments come in closed groups of four, each group\n"
    "becomes one polygon instead. A world file beside the segments file (its\n"
    "name with the last three letters replaced by \"bpw\") puts the vertices in\n"
    "map units.\n"
    "\n"
    "Writes <output name>.shp, .shx and .dbf, in the working folder when one is\n"
    "given. Outputs appear only when the run completes; a run that fails leaves\n"
    "the folder as it was, and no output may overwrite an input.\n"
    "\n"
    "Exit status: 0 done; 1 a width or height that is not a whole number above\n"
    "0, a segments file that cannot be read or is no valid segments file, a\n"
    "world file that cannot place the vertices, or an output that cannot be\n"
    "written; 2 standard input ended at a prompt; 255 not enough memory.\n",
    {},
    "\nError in memory allocation\n",
    exit_status::failure,
};

struct Traskel : SegmentToolArguments {
    Console console;
    std::string nome_output_path;
    int tip = shape_type_polyline;
    WorldFile tfw;
    OutputFiles outputs;  // the shapefile, put in place when the run completes
};

// The closing line "\n\nEnd" and, when the names were prompted for, the wait
// for a key; gives `status` back.
int finish(Traskel& run, int status)
{
    std::fputs("\n\nEnd", stdout);
    if (!run.check_line_com) run.console.wait_for_key();
    return status;
}

// An error message and the wait for a key; the run then ends with status 1.
int fail(Traskel& run, const char* message)
{
    std::fputs(message, stdout);
    run.console.wait_for_key();
    return finish(run, exit_status::error);
}

// The world file beside the input, an input of the run when there is one;
// one that cannot place the vertices is refused.
std::optional<int> take_world_file(Traskel& run)
{
    const std::optional<std::string> world = world_file_path(run.check_path, run.path, run.nome_input, "bpw");
    run.tfw = read_world_file(world);
    std::fputs(run.tfw.found ? "\n\nBPW file present\n" : "\n\nBPW file not present\n", stdout);
    if (run.tfw.found) run.outputs.add_input(*world);
    if (!world_file_usable(run.tfw)) {
        std::printf("\nError: the world file '%s' does not hold six finite values with cell sizes other than 0\n",
                    world->c_str());
        return finish(run, exit_status::error);
    }
    return std::nullopt;
}

// Loads the segments and writes the shapefile into its temporaries. A
// shapefile that cannot be written ends the run at once, after its message.
std::optional<int> convert_file(Traskel& run)
{
    // Pixel units are turned into map units by dividing by the image size.
    if (const auto problem = image_size_problem(run.width, run.height)) return fail(run, problem->c_str());
    if (const auto status = take_world_file(run)) return status;

    run.outputs.add_input(run.named(run.nome_input));
    run.nome_output_path = run.named(run.nome_output);
    if (const auto problem = add_shapefile_outputs(run.outputs, run.nome_output_path)) {
        report_output_problem(*problem);
        return finish(run, exit_status::error);
    }

    // The rows are numbered from the bottom of the image: y grows upwards.
    SegmentsFile input = read_segments_file(run.named(run.nome_input), run.height);
    if (!input.readable) return fail(run, "\nError in file opening");
    if (!input.table) return fail(run, "\nInternal error in input file");
    const SegmentTable& Matrice = *input.table;
    const int seg = Matrice.n_segm;
    std::printf("\nSegment number: %d", seg);

    run.tip = shape_type_of_segments(Matrice, seg);
    const RecordArrays records = segment_records(Matrice, seg, run.tip);
    input.table.reset();

    ShapefileOptions options;
    options.shape_type = run.tip;
    options.world = run.tfw;
    ShapefilePaths files;
    auto problem = shapefile_temporaries(run.outputs, run.nome_output_path, files);
    if (!problem) problem = gen_file_shp(files, records, run.width, run.height, options);
    if (problem) {
        std::printf("\nError in creating '%s'\n", problem->extension);
        report_write_failure(run.nome_output_path + problem->extension, problem->error);
        run.console.wait_for_key();
        return exit_status::error;
    }
    return std::nullopt;
}

int run_traskel(Traskel& run, CommandLine& line)
{
    std::vector<char*> argv = line.argv();
    if (const auto problem =
            take_segment_tool_arguments(run, run.console, line.argc(), argv.data(), {"\nWidth=", "\nHeight="})) {
        std::printf("\nError: %s\n", problem->c_str());
        return exit_status::usage;
    }
    if (const auto status = convert_file(run)) return *status;
    if (const auto problem = run.outputs.commit()) {
        report_output_problem(*problem);
        return finish(run, exit_status::error);
    }
    return finish(run, exit_status::success);
}

}  // namespace

int main(int argc, char** argv)
{
    Traskel run;
    return program_main(argc, argv, traskel_info, [&](CommandLine& line) { return run_traskel(run, line); });
}
