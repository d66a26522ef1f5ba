// Polvane: class map to one polygon shapefile per colour.
#include "polvane.h"

#include "bmp.h"
#include "exit_status.h"
#include "guarded_main.h"
#include "paths.h"

#include <cstdio>
#include <new>

namespace {

void print_banner()
{
    std::puts("\n              * * *  Polvane  * * *\n");
    std::puts("\n                   * * * WARNING * * *");
    std::puts("\n     This routine works only with 8 bit Bmp files ");
    std::puts("\n     The routine generates a SHP file for each color inside the image");
    std::puts("\n     Grayscale tonalities are not considered as color\n");
    std::puts("  \n");
    std::puts("    -------------------------------------------------\n");
}

// Reads the image, takes the census and runs the per-colour loop. Returns
// false when a shapefile could not be created: the program ends at once.
bool vectorise_image(PolvaneRun& run)
{
    int dim[2] = {0, 0};
    if (bmp_grayscale256_open(run.console, in_folder(run.check_path, run.path, run.nome_input), run.Matrice, dim,
                              ColourReaderCaller::polvane) != 0) {
        std::printf("\nError in file opening");
        run.console.wait_for_key();
        return true;
    }
    std::printf("\nOk...");
    run.width = dim[0];
    run.height = dim[1];

    if (!colour_census(run.Matrice, run.colori)) {
        std::printf("\n Too much color");
        return true;
    }
    std::printf("\nThe color number is %d\n", static_cast<int>(run.colori.size()));

    run.nome_output_path = in_folder(run.check_path, run.path, run.nome_output);
    // The blobs are traced from the class indices alone: the packed colours
    // are released before the work begins.
    run.classi = class_indices(run.Matrice, run.colori);
    run.Matrice = Grid<std::int32_t>();
    return gestore(run) == 0;
}

int run_polvane(PolvaneRun& run, int argc, char** argv)
{
    print_banner();
    take_names(run, argc, argv);

    std::optional<std::string> world_name = world_file_name(run.nome_input, "bpw");
    if (world_name) world_name = in_folder(run.check_path, run.path, *world_name);
    run.tfw = read_world_file_bpw(world_name);

    if (!vectorise_image(run)) return exit_status::success;

    std::printf("\n\nEnd");
    if (!run.check_line_com) run.console.wait_for_key();
    return exit_status::success;
}

}  // namespace

int main(int argc, char** argv)
{
    PolvaneRun run;
    return guarded_main([&] { return run_polvane(run, argc, argv); }, "\nError in memory allocation: the image is too large for the memory available\n");
}
