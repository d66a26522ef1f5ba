// Polvane: class map to one polygon shapefile per colour.
#include "polvane.h"

#include "exit_status.h"
#include "guarded_main.h"

#include <cstdio>

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

int run_polvane(PolvaneRun& run, int argc, char** argv)
{
    print_banner();
    take_names(run, argc, argv);

    run.tfw = read_world_file(world_file_path(run.check_path, run.path, run.nome_input, "bpw"));
    std::fputs(run.tfw.found ? "\n\nBPW file present\n" : "\n\nBPW file not present\n", stdout);

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
