// Traskel: a segments text file to one shapefile, a polyline per segment or
// a polygon per closed group of four segments, in map units when a world
// file lies beside the segments file.

#include "console.h"
#include "exit_status.h"
#include "geo_input.h"
#include "geo_output.h"
#include "output_choices.h"
#include "output_files.h"
#include "program_main.h"
#include "segment_loader.h"
#include "segment_shapes.h"
#include "segment_tool_arguments.h"
#include "shapefile_writer.h"
#include "world_file.h"

#if SUITE_HAVE_GDAL
#include "geopackage_writer.h"
#endif

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

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
    "name with the last three letters replaced by \"bpw\", the image's outer\n"
    "corner; else a standard \".wld\", the centre of its top-left pixel) puts\n"
    "the vertices in map units; a \".prj\" beside the segments file (or beside\n"
    "the world file) gives their CRS.\n"
    "\n"
    "Writes <output name>.shp, .shx and .dbf, and <output name>.prj when the CRS\n"
    "is known, in the working folder when one is given. The GIS layout (--gis or\n"
    "SUITE_GIS=1) writes polygon rings in ESRI order and header boxes equal to\n"
    "the records' own extent (segments may reach outside the image). With --of\n"
    "GPKG <output name>.gpkg is written instead: one layer, one feature per\n"
    "record, with its CRS. Outputs appear only when the run completes; a run\n"
    "that fails leaves the folder as it was, and no output may overwrite an\n"
    "input (a \".prj\" read beside the segments file under the output's name\n"
    "is left as it is).\n"
    "\n"
    "Exit status: 0 done; 1 a width or height that is not a whole number above\n"
    "0, an output format not written, a segments file that cannot be read or is\n"
    "no valid segments file, a world file or \".prj\" that cannot be used, or an\n"
    "output that cannot be written; 2 standard input ended at a prompt; 255 not\n"
    "enough memory.\n",
    output_options({false, true}),
    "\nError in memory allocation\n",
    exit_status::failure,
};

struct Traskel : SegmentToolArguments {
    Console console;
    std::string nome_output_path;
    int tip = shape_type_polyline;
    WorldFile tfw;
    OutputChoices choices;               // --gis, --of GPKG
    Georeference georeference;           // world file and CRS of the segments
    std::vector<std::string> geo_files;  // the files they were read from
    std::vector<std::string> sidecars;   // the shapefile's ".prj", when written
    OutputFiles outputs;  // the shapefile, put in place when the run completes
};

bool as_geopackage(const Traskel& run)
{
    return run.choices.format == OutputFormat::gpkg;
}

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
    // Without the suite's own world file, a standard one; the CRS beside.
    if (const GeoProblem problem =
            data_file_georeference(run.named(run.nome_input), run.tfw, world, run.georeference, run.geo_files)) {
        std::printf("\nError: %s\n", problem.message().c_str());
        return finish(run, exit_status::error);
    }
    for (const std::string& file : run.geo_files) run.outputs.add_input(file);
    run.tfw = run.georeference.world;
    return std::nullopt;
}

// The shapefile's files, or the GeoPackage, and the ".prj".
std::optional<OutputProblem> declare_outputs(Traskel& run)
{
    if (as_geopackage(run)) return run.outputs.add_output(run.nome_output_path + ".gpkg");
    if (auto problem = add_shapefile_outputs(run.outputs, run.nome_output_path)) return problem;
    run.sidecars = shapefile_sidecars(run.nome_output_path, run.georeference);
    return add_sidecar_outputs(run.outputs, run.sidecars, run.geo_files);
}

#if SUITE_HAVE_GDAL
// The name of the output's last component, for the GeoPackage's layer.
std::string layer_name(const std::string& output)
{
    const std::size_t slash = output.find_last_of("/\\");
    return slash == std::string::npos ? output : output.substr(slash + 1);
}
#endif

// Writes the records as one GeoPackage layer; false after the message.
bool write_geopackage_output(Traskel& run, const RecordArrays& records)
{
#if SUITE_HAVE_GDAL
    const std::string output = run.nome_output_path + ".gpkg";
    const OutputFiles::Temporary temporary = run.outputs.temporary(output);
    GeoProblem problem;
    if (!temporary.problem) {
        GeoPackageLayout layout;
        layout.layer_name = layer_name(run.nome_output);
        layout.shape_type = run.tip;
        layout.crs_wkt = run.georeference.crs;
        layout.world = run.tfw;
        layout.width = run.width;
        layout.height = run.height;
        problem = write_geopackage(temporary.path, layout, records, {});
    }
    if (!temporary.problem && !problem) return true;
    std::printf("\nError in creating '.gpkg'\n");
    report_write_failure(output, temporary.problem ? temporary.problem->message() : problem.reason());
    run.console.wait_for_key();
    return false;
#else
    (void)run;
    (void)records;
    return false;
#endif
}

// Writes the records as the shapefile and its ".prj"; false after the
// message.
bool write_shapefile_output(Traskel& run, const RecordArrays& records)
{
    ShapefileOptions options;
    options.shape_type = run.tip;
    options.world = run.tfw;
    if (run.choices.gis) {
        options.rings = RingOrientation::esri;
        options.true_extent = true;
    }
    ShapefilePaths files;
    auto problem = shapefile_temporaries(run.outputs, run.nome_output_path, files);
    if (!problem) problem = gen_file_shp(files, records, run.width, run.height, options);
    if (problem) {
        std::printf("\nError in creating '%s'\n", problem->extension);
        report_write_failure(run.nome_output_path + problem->extension, problem->error);
        run.console.wait_for_key();
        return false;
    }
    if (const auto sidecar = write_sidecars(run.outputs, run.sidecars, run.georeference)) {
        std::printf("\nError in creating '.prj'\n");
        report_write_failure(sidecar->path, sidecar->reason);
        run.console.wait_for_key();
        return false;
    }
    return true;
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
    if (const auto problem = declare_outputs(run)) {
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

    const bool written =
        as_geopackage(run) ? write_geopackage_output(run, records) : write_shapefile_output(run, records);
    if (!written) return exit_status::error;
    return std::nullopt;
}

int run_traskel(Traskel& run, CommandLine& line)
{
    if (const auto problem = take_output_choices(line, {false, true}, run.choices)) {
        std::printf("\nError: %s\n", problem->c_str());
        return exit_status::usage;
    }
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
