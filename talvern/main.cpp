// Talvern: building heights from their shadows.
#include "talvern.h"

#include "arguments.h"
#include "colour_census.h"
#include "exit_status.h"
#include "geo_input.h"
#include "height_outputs.h"
#include "paths.h"
#include "program_main.h"
#include "raw.h"

#include <cmath>
#include <cstdio>

namespace {

// --origin X,Y: the maps are a window of a larger mosaic, whose heights a
// run on the window is to reproduce (a tiled run).
std::vector<KnownOption> with_origin_option(std::vector<KnownOption> options)
{
    options.push_back({"origin", "X,Y",
                       "the maps are cut from a mosaic, X columns from its left and Y rows from its bottom edge: "
                       "heights as one run on the mosaic"});
    return options;
}

// The --origin value: two whole numbers, 0 or more, joined by a comma.
std::optional<Point> origin_of(const std::string& text)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return std::nullopt;
    const std::optional<int> x = whole_int(text.substr(0, comma));
    const std::optional<int> y = whole_int(text.substr(comma + 1));
    if (!x || !y || *x < 0 || *y < 0) return std::nullopt;
    return Point{*x, *y};
}

const ProgramInfo talvern_info = {
    "talvern",
    "estimates building heights from the shadows the buildings cast",
    "Usage:\n"
    "  talvern <building map> <shadow map> <sun azimuth> <sun elevation> <pixel size>\n"
    "          [working folder]\n"
    "  talvern        (asks \"Building Classification =\", \"Shadow Classification =\",\n"
    "                  \"Sun azimuth angle (degree) =\", \"Sun elevation angle (degree) =\"\n"
    "                  and \"Pixel resolution (meters) =\")\n"
    "\n"
    "The two maps are 8-bit palette BMPs of the same size, each holding exactly\n"
    "one colour that is not a grey: the buildings in one, their shadows in the\n"
    "other. Any single-band Byte raster GDAL opens (GeoTIFF, ...) may stand for\n"
    "a BMP: its colour table gives the colours or, without one, value 0 is the\n"
    "background and every other value a class. Both maps must lie on the same\n"
    "place when both are georeferenced (a GeoTIFF's geotransform, or a standard\n"
    "world file \".wld\" beside a BMP; the CRS from the raster or a \".prj\").\n"
    "The azimuth is in degrees from the +x axis towards +y (up the\n"
    "picture), the direction the shadows fall, 0 or more; the elevation lies\n"
    "strictly between 0 and 90 degrees; the pixel size, in metres, is a number\n"
    "greater than 0. The measuring parameters are read from\n"
    "\"raise_parameters.txt\" in the current directory; without that file the\n"
    "defaults are used and printed.\n"
    "\n"
    "Writes <building map without its last four characters>_raise.raw, a 32-bit\n"
    "float raster of the heights in metres (0 where none was found), and its\n"
    "ENVI header _raise.hdr, in the working folder when one is given. When the\n"
    "maps are georeferenced the header also holds \"map info\" and \"coordinate\n"
    "system string\", and _raise.wld (standard world file) and _raise.prj (CRS,\n"
    "when known) are written beside. With --of GTiff _raise.tif is written\n"
    "instead: Float32, georeferenced, nodata 0 (no height is ever 0). Outputs\n"
    "appear only when the run completes; a run that fails leaves the folder as\n"
    "it was, and no output may overwrite an input.\n"
    "\n"
    "Exit status: 0 done; 1 a number on the command line that is not one, an\n"
    "angle, pixel size or parameter out of range, a parameter file that cannot\n"
    "be read, a map that cannot be used, maps placed apart, an output name an\n"
    "ENVI header cannot hold, an output format not written, or an output that\n"
    "cannot be written; 2 standard input ended at a prompt; 255 not enough\n"
    "memory for the images.\n",
    with_origin_option(output_options({true, false})),
    "\nError in memory allocation: the images are too large for the memory available\n",
    exit_status::failure,
};

// Prints an error and waits for a key; the run then ends with status 1.
int fail(TalvernRun& run, const char* message)
{
    std::printf("%s", message);
    run.console.wait_for_key();
    return exit_status::error;
}

std::optional<int> declare_outputs(TalvernRun& run, const std::vector<std::string>& files)
{
    for (const std::string& file : files)
        if (const auto problem = run.outputs.add_output(file)) {
            report_output_problem(*problem);
            return exit_status::error;
        }
    return std::nullopt;
}

// Names the output, refuses a name its header cannot hold, and declares
// every file the run reads and writes before anything is written (the
// sidecars once the maps have told where they lie).
std::optional<int> declare_files(TalvernRun& run)
{
    run.nome_output_path = run.named(drop_last_chars(run.nome_input_building, 4) + "_raise");
    if (run.choices.format == OutputFormat::suite && !envi_description_usable(run.nome_output_path)) {
        std::printf("\nError: the output name '%s' holds a control character, \"{\" or \"}\", "
                    "which its ENVI header cannot hold\n",
                    run.nome_output_path.c_str());
        return exit_status::error;
    }
    for (const std::string& map : {run.named(run.nome_input_building), run.named(run.nome_input_shadow)}) {
        run.outputs.add_input(map);
        for (const std::string& file : georeference_files(map)) run.outputs.add_input(file);
    }
    run.outputs.add_input(nome_file_param);
    return declare_outputs(run, height_files(run));
}

// The parameter file, or the defaults (printed) when there is none.
std::optional<int> take_parameters(TalvernRun& run)
{
    const std::error_code error = load_parameters(run.parameters);
    if (error == std::errc::no_such_file_or_directory) {
        const TalvernParameters& p = run.parameters;
        std::printf("\nParameter file 'raise_parameters.txt' not found");
        std::printf("\n The routine will use 'DEFAULT' parameters");
        std::printf("\nmax_gap_building_shadow= %d", p.soglia_blob_shadow);
        std::printf("\nmax_lenght_shadow= %d", p.max_dist_search);
        std::printf("\nmin_perc_shadow_sample= %d", p.soglia_percentuale_campioni);
        std::printf("\nmax_perc_deviation_sample= %d", p.soglia_scostamento_massimo);
    } else if (error) {
        std::printf("\nError: the parameter file '%s' cannot be read: %s", nome_file_param, error.message().c_str());
        run.console.wait_for_key();
        return exit_status::error;
    }
    if (run.parameters.max_dist_search <= 0) {
        std::printf("\nError: max_lenght_shadow should be greater than 0 (it is %d)", run.parameters.max_dist_search);
        run.console.wait_for_key();
        return exit_status::error;
    }
    return std::nullopt;
}

// Azimuth and elevation checks; an azimuth of 360 or more is brought back
// into 0..359 by its integer part.
std::optional<int> check_sun(TalvernRun& run)
{
    if (!(run.sun_azimuth_angle >= 0) || std::isinf(run.sun_azimuth_angle))
        return fail(run, "\nError: sun_azimuth_angle should be between 0 and 359 degree");
    if (run.sun_azimuth_angle >= 360) {
        run.sun_azimuth_angle = static_cast<float>(std::fmod(std::trunc(run.sun_azimuth_angle), 360.0));
        std::printf("\nsun_azimuth_angle is set to: %f", run.sun_azimuth_angle);
    }
    if (!(run.sun_elevation_angle > 0 && run.sun_elevation_angle < 90))
        return fail(run, "\nError: sun_elevation_angle should be between 1 and 89 degree");
    return std::nullopt;
}

// The names the messages of one class map use.
struct ClassMapNames {
    const char* classification;  // "Building classification", "Shadow classification"
    const char* title;           // "Building", "Shadow"
};

// A map without colour table: value 0 is the background, as black is in a
// palette map, and every other value a class.
void take_zero_as_background(Grid<std::int32_t>& Matrice)
{
    const std::int32_t zero = ClassMapColours{}.class_key(0);
    for (std::int32_t& key : Matrice.cells())
        if (key == zero) key = 0;
}

// Reads one class map (a BMP, else any Byte raster GDAL opens) with where it
// lies, and checks that it holds exactly one class colour.
std::optional<int> take_class_map(TalvernRun& run, const std::string& nome, const ClassMapNames& names,
                                  Grid<std::int32_t>& Matrice, Extent& dim, std::vector<std::int32_t>& colori,
                                  Georeference& georeference)
{
    const std::string path = run.named(nome);
    ClassMapColours colours;
    if (const InputProblem problem = read_class_map(path, Matrice, dim, colours, georeference)) {
        if (problem.refused_by_gdal()) {
            std::printf("\nError: %s", problem.geo.message().c_str());
        } else if (problem.raster == RasterProblem::Kind::cannot_open) {
            std::printf("\nCannot open input file\n");
            run.console.wait_for_key();
        } else {
            std::fputs(class_map_problem_text(problem.raster).c_str(), stdout);
        }
        std::printf("\nError in opening %s", names.classification);
        run.console.wait_for_key();
        return exit_status::error;
    }
    if (!colours.has_colour_table) take_zero_as_background(Matrice);
    if (const GeoProblem problem = complete_georeference(path, georeference)) {
        std::printf("\nError: %s", problem.message().c_str());
        run.console.wait_for_key();
        return exit_status::error;
    }
    if (!colour_census(Matrice, colori, max_census_colours)) {
        std::printf("\nError: Too much color in %s", names.classification);
        run.console.wait_for_key();
        return exit_status::error;
    }
    if (colori.size() != 1) {
        std::printf("\nThe color number is %d\n", static_cast<int>(colori.size()));
        std::printf("\nError: %s should contain just one color \n", names.classification);
        run.console.wait_for_key();
        return exit_status::error;
    }
    std::printf("\n\n%s classification... Ok", names.title);
    return std::nullopt;
}

// Everything between the inputs and the closing line.
std::optional<int> estimate_heights(TalvernRun& run)
{
    if (const auto status = declare_files(run)) return status;
    if (const auto status = take_parameters(run)) return status;
    if (const auto status = check_sun(run)) return status;

    Extent dim_b, dim_s;
    Georeference building_place, shadow_place;
    if (const auto status = take_class_map(run, run.nome_input_building, {"Building classification", "Building"},
                                           run.Matrice_building, dim_b, run.colori_building, building_place))
        return status;
    if (const auto status = take_class_map(run, run.nome_input_shadow, {"Shadow classification", "Shadow"},
                                           run.Matrice_shadow, dim_s, run.colori_shadow, shadow_place))
        return status;
    if (dim_b != dim_s) return fail(run, "\nError: dimension of building and shadow classification should be equal");
    run.width = dim_b.width;
    run.height = dim_b.height;
    const auto shared = shared_georeference(building_place, shadow_place, run.width, run.height);
    if (!shared) return fail(run, "\nError: georeferencing of building and shadow classification should be equal");
    run.georeference = *shared;
    if (const auto status = declare_outputs(run, height_sidecars(run))) return status;
    run.Matrice_raise.resize(run.width, run.height, 0.0f);

    if (!gestore(run)) return exit_status::failure;
    return write_heights(run);
}

int run_talvern(TalvernRun& run, CommandLine& line)
{
    print_banner();
    if (const auto problem = take_output_choices(line, {true, false}, run.choices)) {
        std::printf("\nError: %s\n", problem->c_str());
        return exit_status::usage;
    }
    if (const auto text = line.value("origin")) {
        const std::optional<Point> origin = origin_of(*text);
        if (!origin)
            return refuse_option(talvern_info,
                                 "the option '--origin' needs two whole numbers from 0 up, as X,Y, not '" + *text + "'");
        run.origin = *origin;
    }
    std::vector<char*> argv = line.argv();
    if (const auto problem = take_inputs(run, line.argc(), argv.data())) {
        std::printf("\nError: %s\n", problem->c_str());
        return exit_status::usage;
    }
    int status = estimate_heights(run).value_or(exit_status::success);
    run.Matrice_raise = Grid<float>();
    run.Matrice_building = Grid<std::int32_t>();
    run.Matrice_shadow = Grid<std::int32_t>();
    if (status == exit_status::success)
        if (const auto problem = run.outputs.commit()) {
            report_output_problem(*problem);
            status = exit_status::error;
        }
    std::printf("\n\nEnd\n");
    if (!run.check_line_com) run.console.wait_for_key();
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    TalvernRun run;
    return program_main(argc, argv, talvern_info, [&](CommandLine& line) { return run_talvern(run, line); });
}
