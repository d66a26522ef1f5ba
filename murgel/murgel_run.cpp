#include "murgel_run.h"

#include "arguments.h"
#include "exit_status.h"
#include "mask_cleaning.h"
#include "paths.h"
#include "raw.h"

#include <cstdio>

namespace {

void print_banner()
{
    std::fputs("\n              * * *  Murgel  * * *\n\n", stdout);
    std::fputs("\n                   * * * WARNING * * *\n", stdout);
    std::fputs("\n     This routine works only with Bmp or Raw files 8 bit\n\n", stdout);
    std::fputs("       Raw files should have 'dim' header with image dimension\n\n", stdout);
    std::fputs("  \n\n", stdout);
    std::fputs("    -------------------------------------------------\n\n", stdout);
}

void take_inputs(MurgelRun& run, int argc, char** argv)
{
    if (argc >= 4) {
        run.check_line_com = true;
        run.nome_input = argv[1];
        run.result_typology = argv[2];
        run.soglia_blob = atoi_like(argv[3]);
        if (argc >= 5) {
            run.check_path = true;
            run.path = join_arguments(argc, argv, 4);
        }
        return;
    }
    std::fputs("\nInput file=", stdout);
    run.nome_input = run.console.read_word();
    std::fputs("\nResult type (raw/bmp)=", stdout);
    run.result_typology = run.console.read_word();
    std::fputs("\n\nBlob threshold: ", stdout);
    run.soglia_blob = run.console.read_int();
    run.console.flush_input();
}

// The closing line; the wait lets a prompted user read the console.
int finish(MurgelRun& run)
{
    std::fputs("\n\nEnd", stdout);
    std::fflush(stdout);
    if (!run.check_line_com) run.console.wait_for_key();
    return exit_status::success;
}

int fail_with_wait(MurgelRun& run)
{
    std::fflush(stdout);
    run.console.wait_for_key();
    return exit_status::failure;
}

}  // namespace

int run_murgel(MurgelRun& run, int argc, char** argv)
{
    print_banner();
    take_inputs(run, argc, argv);

    if (run.result_typology != "raw" && run.result_typology != "bmp") {
        std::fputs("\nWarning: result type must be 'raw' or 'bmp'\n", stdout);
        return finish(run);
    }

    // The input type is the name's extension as typed; a name too short to
    // hold one, a dot and something before it is refused the same way.
    run.bmp_raw = run.nome_input.size() >= 4 ? run.nome_input.substr(run.nome_input.size() - 3) : std::string();
    if (run.bmp_raw != "raw" && run.bmp_raw != "bmp") {
        std::fputs("\nWarning: input file must be 'raw' or 'bmp'\n", stdout);
        return finish(run);
    }
    run.check_bmp_raw = run.bmp_raw == "bmp";

    const std::string input = in_folder(run.check_path, run.path, run.nome_input);
    const int read_status = run.check_bmp_raw ? bmp_256_open(input, run.Immagine, run.mask_file)
                                              : raw_8bit_open(input, run.Immagine, run.mask_file);
    if (read_status != 0) return fail_with_wait(run);

    clean_mask(run.Immagine, run.soglia_blob);

    const std::string output =
        in_folder(run.check_path, run.path, drop_last_chars(run.nome_input, 4) + "_out");
    const int write_status =
        run.result_typology == "raw"
            ? raw_8bit_create(run.console, output, run.Immagine, run.mask_file)
            : bmp_256_create(run.console, output, run.Immagine, run.mask_file, run.check_bmp_raw);
    if (write_status != 0) {
        std::fputs("\nError in writing procedure\n", stdout);
        return fail_with_wait(run);
    }

    run.Immagine = Grid<std::uint8_t>();
    return finish(run);
}
