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
        run.nome_input = argv[1];
        run.result_typology = argv[2];
        run.soglia_blob = atoi_like(argv[3]);
        run.from_command_line(argc, argv, 4);
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

// The reader's problem in the mask's own words.
void report_read_problem(const RasterProblem& problem, bool bmp)
{
    using Kind = RasterProblem::Kind;
    switch (problem.kind) {
    case Kind::cannot_open:
        std::fputs(bmp ? "\nError in opening 'bmp' file\n" : "\nError in opening '.raw' file\n", stdout);
        break;
    case Kind::not_bmp:
    case Kind::not_8bit:
        std::fputs("\nError: Not a 8 bit Bitmap image\n", stdout);
        break;
    case Kind::out_of_memory:
        std::fputs("\nError in memory allocation\n", stdout);
        break;
    case Kind::no_black_background:
        std::fputs("\nInput file should have black background\n", stdout);
        break;
    case Kind::more_than_two_values:
        std::fputs("\nInput file should have only two values\n", stdout);
        break;
    case Kind::size_mismatch:
        std::printf("\nError: the size of '%s' does not match the %d x %d extent of its '.dim' file\n",
                    problem.path.c_str(), problem.width, problem.height);
        break;
    default:
        std::fputs(layout_problem_text(problem).c_str(), stdout);
        break;
    }
}

// Writes the cleaned mask as RAW and ".dim", or as BMP; false after the
// writer's message.
bool write_mask(MurgelRun& run, const std::string& output)
{
    if (run.result_typology == "raw") {
        const auto problem = raw_8bit_create({output + ".raw", output + ".dim"}, run.Immagine, run.mask_file);
        if (!problem) return true;
        if (problem->error == std::errc::not_enough_memory)
            std::fputs("Error in memory allocation\n", stdout);
        else
            std::fputs(problem->in_header ? "\nError in writing .dim file\n" : "\nError in writing raw image\n", stdout);
        run.console.wait_for_key();
        return false;
    }
    const std::error_code error = bmp_256_create(output + ".bmp", run.Immagine, run.mask_file, run.check_bmp_raw);
    if (!error) return true;
    if (error == std::errc::not_enough_memory) {
        std::fputs("\nError in opening bmp image\n", stdout);
        run.console.wait_for_key();
    } else {
        std::printf("\nError: cannot write '%s'\n", (output + ".bmp").c_str());
    }
    return false;
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

    const std::string input = run.named(run.nome_input);
    const RasterProblem read_problem = run.check_bmp_raw ? bmp_256_open(input, run.Immagine, run.mask_file)
                                                         : raw_8bit_open(input, run.Immagine, run.mask_file);
    if (read_problem) {
        report_read_problem(read_problem, run.check_bmp_raw);
        return fail_with_wait(run);
    }

    clean_mask(run.Immagine, run.soglia_blob);

    if (!write_mask(run, run.named(drop_last_chars(run.nome_input, 4) + "_out"))) {
        std::fputs("\nError in writing procedure\n", stdout);
        return fail_with_wait(run);
    }

    run.Immagine = Grid<std::uint8_t>();
    return finish(run);
}
