// Traskel: a segments text file to one shapefile, a polyline per segment or
// a polygon per closed group of four segments, in map units when a world
// file lies beside the segments file.

#include "console.h"
#include "exit_status.h"
#include "file.h"
#include "guarded_main.h"
#include "paths.h"
#include "segment_loader.h"
#include "segment_shapes.h"
#include "segment_tool_arguments.h"
#include "shapefile_writer.h"
#include "world_file.h"

#include <cstdio>
#include <optional>
#include <string>

namespace {

struct Traskel : SegmentToolArguments {
    Console console;
    std::string nome_output_path;
    int tip = shape_type_polyline;
    WorldFile tfw;
};

// Loads the segments and writes the shapefile. Returns false when the
// shapefile could not be written: the writer has reported it and the run
// ends there.
bool convert_file(Traskel& run)
{
    // Pixel units are turned into map units by dividing by the image size.
    if (const auto problem = image_size_problem(run.width, run.height)) {
        std::fputs(problem->c_str(), stdout);
        run.console.wait_for_key();
        return true;
    }

    run.tfw = read_world_file(world_file_path(run.check_path, run.path, run.nome_input, "bpw"));
    std::fputs(run.tfw.found ? "\n\nBPW file present\n" : "\n\nBPW file not present\n", stdout);

    File input = open_file(run.named(run.nome_input), "rb");
    if (!input) {
        std::fputs("\nError in file opening", stdout);
        run.console.wait_for_key();
        return true;
    }
    // The rows are numbered from the bottom of the image: y grows upwards.
    std::optional<SegmentTable> Matrice = MOD_caricamento(input.get(), run.height);
    if (!Matrice) {
        std::fputs("\nInternal error in input file", stdout);
        run.console.wait_for_key();
        return true;
    }
    const int seg = Matrice->n_segm;
    std::printf("\nSegment number: %d", seg);
    input.reset();

    run.tip = shape_type_of_segments(*Matrice, seg);
    const RecordArrays records = segment_records(*Matrice, seg, run.tip);
    Matrice.reset();

    run.nome_output_path = run.named(run.nome_output);
    ShapefileOptions options;
    options.shape_type = run.tip;
    options.world = run.tfw;
    if (const auto problem = gen_file_shp(shapefile_paths(run.nome_output_path), records, run.width, run.height, options)) {
        std::printf("\nError in creating '%s'\n", problem->extension);
        run.console.wait_for_key();
        return false;
    }
    return true;
}

int run_traskel(Traskel& run, int argc, char** argv)
{
    if (const auto problem = take_segment_tool_arguments(run, run.console, argc, argv, {"\nWidth=", "\nHeight="})) {
        std::printf("\nError: %s\n", problem->c_str());
        return exit_status::usage;
    }
    if (!convert_file(run)) return exit_status::success;
    std::fputs("\n\nEnd", stdout);
    if (!run.check_line_com) run.console.wait_for_key();
    return exit_status::success;
}

}  // namespace

int main(int argc, char** argv)
{
    Traskel run;
    return guarded_main([&] { return run_traskel(run, argc, argv); });
}
