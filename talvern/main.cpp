// Talvern: building heights from their shadows.
#include "talvern.h"

#include "bmp.h"
#include "colour_census.h"
#include "exit_status.h"
#include "paths.h"
#include "program_main.h"
#include "raw.h"

#include <cmath>
#include <cstdio>

namespace {

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
    "other. The azimuth is in degrees from the +x axis towards +y (up the\n"
    "picture), the direction the shadows fall, 0 or more; the elevation lies\n"
    "strictly between 0 and 90 degrees; the pixel size, in metres, is a number\n"
    "greater than 0. The measuring parameters are read from\n"
    "\"raise_parameters.txt\" in the current directory; without that file the\n"
    "defaults are used and printed.\n"
    "\n"
    "Writes <building map without its last four characters>_raise.raw, a 32-bit\n"
    "float raster of the heights in metres (0 where none was found), and its\n"
    "ENVI header _raise.hdr, in the working folder when one is given. Outputs\n"
    "appear only when the run completes; a run that fails leaves the folder as\n"
    "it was, and no output may overwrite an input.\n"
    "\n"
    "Exit status: 0 done; 1 a number on the command line that is not one, an\n"
    "angle, pixel size or parameter out of range, a parameter file that cannot\n"
    "be read, a map that cannot be used, an output name an ENVI header cannot\n"
    "hold, or an output that cannot be written; 2 standard input ended at a\n"
    "prompt; 255 not enough memory for the images.\n",
    {},
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

// Names the output, refuses a name its header cannot hold, and declares
// every file the run reads and writes before anything is written.
std::optional<int> declare_files(TalvernRun& run)
{
    run.nome_output_path = run.named(drop_last_chars(run.nome_input_building, 4) + "_raise");
    if (!envi_description_usable(run.nome_output_path)) {
        std::printf("\nError: the output name '%s' holds a control character, \"{\" or \"}\", "
                    "which its ENVI header cannot hold\n",
                    run.nome_output_path.c_str());
        return exit_status::error;
    }
    run.outputs.add_input(run.named(run.nome_input_building));
    run.outputs.add_input(run.named(run.nome_input_shadow));
    run.outputs.add_input(nome_file_param);
    for (const char* extension : {".raw", ".hdr"})
        if (const auto problem = run.outputs.add_output(run.nome_output_path + extension)) {
            report_output_problem(*problem);
            return exit_status::error;
        }
    return std::nullopt;
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

// Reads one class map and checks that it holds exactly one class colour.
std::optional<int> read_class_map(TalvernRun& run, const std::string& nome, const ClassMapNames& names,
                                  Grid<std::int32_t>& Matrice, Extent& dim, std::vector<std::int32_t>& colori)
{
    if (const RasterProblem problem = bmp_grayscale256_open(run.named(nome), Matrice, dim)) {
        if (problem == RasterProblem::Kind::cannot_open) {
            std::printf("\nCannot open input file\n");
            run.console.wait_for_key();
        } else {
            std::fputs(class_map_problem_text(problem).c_str(), stdout);
        }
        std::printf("\nError in opening %s", names.classification);
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

// Writes the raster and its header into their temporaries; a file that
// cannot be written is reported with its final name.
std::optional<int> write_heights(TalvernRun& run)
{
    const RasterFiles final_names{run.nome_output_path + ".raw", run.nome_output_path + ".hdr"};
    std::string failed;
    std::error_code error;
    const OutputFiles::Temporary samples = run.outputs.temporary(final_names.samples);
    const OutputFiles::Temporary header =
        samples.problem ? OutputFiles::Temporary{} : run.outputs.temporary(final_names.header);
    if (const auto& problem = samples.problem ? samples.problem : header.problem) {
        failed = problem->output;
        error = problem->error;
    } else if (const auto written = raw_32bit_create({samples.path, header.path}, run.nome_output_path,
                                                     run.Matrice_raise, run.Matrice_building, run.colori_building[0])) {
        failed = written->in_header ? final_names.header : final_names.samples;
        error = written->error;
    } else {
        return std::nullopt;
    }
    std::printf("\nError in writing %s image\n", run.nome_output_path.c_str());
    report_write_failure(failed, error);
    run.console.wait_for_key();
    return exit_status::error;
}

// Everything between the inputs and the closing line.
std::optional<int> estimate_heights(TalvernRun& run)
{
    if (const auto status = declare_files(run)) return status;
    if (const auto status = take_parameters(run)) return status;
    if (const auto status = check_sun(run)) return status;

    Extent dim_b, dim_s;
    if (const auto status = read_class_map(run, run.nome_input_building, {"Building classification", "Building"},
                                           run.Matrice_building, dim_b, run.colori_building))
        return status;
    if (const auto status = read_class_map(run, run.nome_input_shadow, {"Shadow classification", "Shadow"},
                                           run.Matrice_shadow, dim_s, run.colori_shadow))
        return status;
    if (dim_b != dim_s) return fail(run, "\nError: dimension of building and shadow classification should be equal");
    run.width = dim_b.width;
    run.height = dim_b.height;
    run.Matrice_raise.resize(run.width, run.height, 0.0f);

    gestore(run);
    return write_heights(run);
}

int run_talvern(TalvernRun& run, CommandLine& line)
{
    print_banner();
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
