// Kestrom: intersects the lines of segment pairs and lists the crossings
// that stand at least 3 height units above the terrain around them.

#include "arguments.h"
#include "console.h"
#include "crossroads.h"
#include "exit_status.h"
#include "file.h"
#include "guarded_main.h"
#include "invocation.h"
#include "paths.h"
#include "raw.h"

#include <cstdio>
#include <string>

namespace {

struct Kestrom : Invocation {
    Console console;
    std::string nome_input_cross;
    std::string nome_input_dtm;  // base name, without extension
    int width = 0;
    int height = 0;
    Grid<float> Dtm;  // row 0 the first row of the file
};

void print_banner()
{
    std::puts("\n              * * *  Kestrom  * * *\n");
    std::puts("\n                   * * * WARNING * * *");
    std::puts("\n     This routine works only with ascii file and floating point Raw files 32 bit\n");
    std::puts("       Raw files should have 'dim' header with image dimension\n");
    std::puts("  \n");
    std::puts("    -------------------------------------------------\n");
}

void take_arguments(Kestrom& run, int argc, char** argv)
{
    if (argc >= 3) {
        run.nome_input_cross = argv[1];
        run.nome_input_dtm = argv[2];
        run.from_command_line(argc, argv, 3);
        return;
    }
    std::fputs("Input file crossroads (ascii file): ", stdout);
    run.nome_input_cross = run.console.read_word();
    std::fputs("\nInput file dtm (without extension): ", stdout);
    run.nome_input_dtm = run.console.read_word();
}

// The DTM extent from its ".dim" file, or from the user.
void take_dimensions(Kestrom& run)
{
    if (read_dim_file(run.named(run.nome_input_dtm + ".dim"), run.width, run.height)) return;
    std::fputs("\nError opening dtm dimension file (.dim)", stdout);
    std::fputs("\n\nEnter dimension:\n", stdout);
    std::fputs("\nwidth: ", stdout);
    run.width = run.console.read_int();
    std::fputs("\nheight: ", stdout);
    run.height = run.console.read_int();
}

// Prints a failure, waits for a key and gives the failure status.
int fail(Kestrom& run, const std::string& message)
{
    std::fputs(message.c_str(), stdout);
    run.console.wait_for_key();
    return exit_status::failure;
}

int run_kestrom(Kestrom& run, int argc, char** argv)
{
    print_banner();
    take_arguments(run, argc, argv);
    take_dimensions(run);

    const std::string dtm_name = run.named(run.nome_input_dtm + ".raw");
    if (!open_file(dtm_name, "rb")) return fail(run, "\nError in opening dtm file");
    if (const RasterProblem problem = raw_32bit_open(dtm_name, run.Dtm, run.width, run.height)) {
        if (problem == RasterProblem::Kind::negative_size)
            std::printf("\nError: negative raster size %d x %d\n", problem.width, problem.height);
        else if (problem == RasterProblem::Kind::size_mismatch)
            std::printf("\nError: the size of '%s' does not match %d x %d float samples\n", problem.path.c_str(),
                        problem.width, problem.height);
        else if (problem == RasterProblem::Kind::out_of_memory)
            std::fputs("\nError in memory allocation\n", stdout);
        return fail(run, "\nError in reading dtm file");
    }

    const std::string output_name = run.named("crossover_" + run.nome_input_cross);
    File output = open_file(output_name, "wb");
    if (!output) return fail(run, "\nError in opening crossover.txt file");
    File crossroads = open_file(run.named(run.nome_input_cross), "rb");
    if (!crossroads) return fail(run, "\nError in opening crossroads file");

    evaluate_crossroads(run.Dtm, crossroads.get(), output.get());

    run.Dtm = Grid<float>();
    crossroads.reset();
    if (!close_written_file(output)) return fail(run, "\nError: cannot write '" + output_name + "'");
    std::fputs("\nEnd", stdout);
    if (!run.check_line_com) run.console.wait_for_key();
    return exit_status::success;
}

}  // namespace

int main(int argc, char** argv)
{
    Kestrom run;
    return guarded_main([&] { return run_kestrom(run, argc, argv); });
}
