// Talvern: building heights from their shadows.
#include "talvern.h"

#include "bmp.h"
#include "colour_census.h"
#include "exit_status.h"
#include "guarded_main.h"
#include "paths.h"
#include "raw.h"

#include <cmath>
#include <cstdio>

namespace {

// Prints an error and waits for a key; the run then ends.
void fail(TalvernRun& run, const char* message)
{
    std::printf("%s", message);
    run.console.wait_for_key();
}

// Azimuth and elevation checks; an azimuth of 360 or more is brought back
// into 0..359 by its integer part. False after the error message.
bool check_sun(TalvernRun& run)
{
    if (!(run.sun_azimuth_angle >= 0) || std::isinf(run.sun_azimuth_angle)) {
        fail(run, "\nError: sun_azimuth_angle should be between 0 and 359 degree");
        return false;
    }
    if (run.sun_azimuth_angle >= 360) {
        run.sun_azimuth_angle = static_cast<float>(std::fmod(std::trunc(run.sun_azimuth_angle), 360.0));
        std::printf("\nsun_azimuth_angle is set to: %f", run.sun_azimuth_angle);
    }
    if (!(run.sun_elevation_angle > 0 && run.sun_elevation_angle < 90)) {
        fail(run, "\nError: sun_elevation_angle should be between 1 and 89 degree");
        return false;
    }
    return true;
}

// The names the messages of one class map use.
struct ClassMapNames {
    const char* classification;  // "Building classification", "Shadow classification"
    const char* title;           // "Building", "Shadow"
};

// Reads one class map and checks that it holds exactly one class colour.
// False after the error messages.
bool read_class_map(TalvernRun& run, const std::string& nome, const ClassMapNames& names,
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
        return false;
    }
    if (!colour_census(Matrice, colori, max_census_colours)) {
        std::printf("\nError: Too much color in %s", names.classification);
        run.console.wait_for_key();
        return false;
    }
    if (colori.size() != 1) {
        std::printf("\nThe color number is %d\n", static_cast<int>(colori.size()));
        std::printf("\nError: %s should contain just one color \n", names.classification);
        run.console.wait_for_key();
        return false;
    }
    std::printf("\n\n%s classification... Ok", names.title);
    return true;
}

// Everything between the inputs and the closing line.
void estimate_heights(TalvernRun& run)
{
    load_parameters(run.parameters);
    if (!check_sun(run)) return;
    if (run.parameters.max_dist_search <= 0) {
        std::printf("\nError: max_lenght_shadow should be greater than 0 (it is %d)", run.parameters.max_dist_search);
        run.console.wait_for_key();
        return;
    }

    Extent dim_b, dim_s;
    if (!read_class_map(run, run.nome_input_building, {"Building classification", "Building"}, run.Matrice_building,
                        dim_b, run.colori_building))
        return;
    if (!read_class_map(run, run.nome_input_shadow, {"Shadow classification", "Shadow"}, run.Matrice_shadow, dim_s,
                        run.colori_shadow))
        return;
    if (dim_b != dim_s) {
        fail(run, "\nError: dimension of building and shadow classification should be equal");
        return;
    }
    run.width = dim_b.width;
    run.height = dim_b.height;
    run.Matrice_raise.resize(run.width, run.height, 0.0f);

    gestore(run);

    run.nome_output_path = run.named(drop_last_chars(run.nome_input_building, 4) + "_raise");
    if (raw_32bit_create({run.nome_output_path + ".raw", run.nome_output_path + ".hdr"}, run.nome_output_path,
                         run.Matrice_raise, run.Matrice_building, run.colori_building[0])) {
        std::printf("\nError in writing %s image", run.nome_output_path.c_str());
        run.console.wait_for_key();
    }
}

int run_talvern(TalvernRun& run, int argc, char** argv)
{
    print_banner();
    take_inputs(run, argc, argv);
    estimate_heights(run);
    run.Matrice_raise = Grid<float>();
    run.Matrice_building = Grid<std::int32_t>();
    run.Matrice_shadow = Grid<std::int32_t>();
    std::printf("\n\nEnd\n");
    if (!run.check_line_com) run.console.wait_for_key();
    return exit_status::success;
}

}  // namespace

int main(int argc, char** argv)
{
    TalvernRun run;
    return guarded_main([&] { return run_talvern(run, argc, argv); }, "\nError in memory allocation: the images are too large for the memory available\n");
}
