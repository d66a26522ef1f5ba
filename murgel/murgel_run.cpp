#include "murgel_run.h"

#include "arguments.h"
#include "exit_status.h"
#include "mask_cleaning.h"
#include "paths.h"
#include "program_main.h"
#include "raw.h"

#include <cstdio>
#include <optional>

namespace {

// Every step returns none to go on, or the exit status the run ends with.
using Step = std::optional<int>;

void print_banner()
{
    std::fputs("\n              * * *  Murgel  * * *\n\n", stdout);
    std::fputs("\n                   * * * WARNING * * *\n", stdout);
    std::fputs("\n     This routine works only with Bmp or Raw files 8 bit\n\n", stdout);
    std::fputs("       Raw files should have 'dim' header with image dimension\n\n", stdout);
    std::fputs("  \n\n", stdout);
    std::fputs("    -------------------------------------------------\n\n", stdout);
}

Step take_inputs(MurgelRun& run, int argc, char** argv)
{
    if (argc >= 4) {
        run.nome_input = argv[1];
        run.result_typology = argv[2];
        const auto threshold = whole_int(argv[3]);
        if (!threshold) {
            std::printf("\nError: %s\n", not_a_whole_number(argv[3], "blob threshold").c_str());
            return exit_status::error;
        }
        run.soglia_blob = *threshold;
        run.from_command_line(argc, argv, 4);
        return std::nullopt;
    }
    run.nome_input = run.console.ask_word("\nInput file=");
    run.result_typology = run.console.ask_word("\nResult type (raw/bmp)=");
    run.soglia_blob = run.console.ask_int("\n\nBlob threshold: ");
    run.console.flush_input();
    return std::nullopt;
}

// The closing line; the wait lets a prompted user read the console.
int finish(MurgelRun& run, int status)
{
    std::fputs("\n\nEnd", stdout);
    std::fflush(stdout);
    if (!run.check_line_com) run.console.wait_for_key();
    return status;
}

int fail_with_wait(MurgelRun& run)
{
    std::fflush(stdout);
    run.console.wait_for_key();
    return exit_status::failure;
}

// The output `path` was not written, for `error`.
int writing_failed(MurgelRun& run, const std::string& path, const std::error_code& error)
{
    std::fputs("\nError in writing procedure\n", stdout);
    report_write_failure(path, error);
    return fail_with_wait(run);
}

// The result and input types, as the names give them; a wrong one ends the
// run after its warning.
Step check_types(MurgelRun& run)
{
    if (run.result_typology != "raw" && run.result_typology != "bmp") {
        std::fputs("\nWarning: result type must be 'raw' or 'bmp'\n", stdout);
        return finish(run, exit_status::error);
    }
    // The input type is the name's extension as typed; a name too short to
    // hold one, a dot and something before it is refused the same way.
    run.bmp_raw = run.nome_input.size() >= 4 ? run.nome_input.substr(run.nome_input.size() - 3) : std::string();
    if (run.bmp_raw != "raw" && run.bmp_raw != "bmp") {
        std::fputs("\nWarning: input file must be 'raw' or 'bmp'\n", stdout);
        return finish(run, exit_status::error);
    }
    run.check_bmp_raw = run.bmp_raw == "bmp";
    return std::nullopt;
}

// The output's files: "<base>.raw" and "<base>.dim", or "<base>.bmp".
std::vector<std::string> output_files(const MurgelRun& run, const std::string& base)
{
    if (run.result_typology == "raw") return {base + ".raw", base + ".dim"};
    return {base + ".bmp"};
}

// Names the files read and written; an output that would overwrite an input
// ends the run before anything is read or written.
Step declare_files(MurgelRun& run, const std::string& input, const std::string& output)
{
    run.outputs.add_input(input);
    if (!run.check_bmp_raw)
        if (const auto dim = replace_last_chars(input, 3, "dim")) run.outputs.add_input(*dim);
    for (const std::string& file : output_files(run, output)) {
        const auto problem = run.outputs.add_output(file);
        if (!problem) continue;
        if (problem->kind == OutputProblem::Kind::is_folder)
            return writing_failed(run, file, std::make_error_code(std::errc::is_a_directory));
        report_output_problem(*problem);
        run.console.wait_for_key();
        return exit_status::error;
    }
    return std::nullopt;
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

Step read_mask(MurgelRun& run, const std::string& input)
{
    const RasterProblem problem = run.check_bmp_raw ? bmp_256_open(input, run.Immagine, run.mask_file)
                                                    : raw_8bit_open(input, run.Immagine, run.mask_file);
    if (!problem) return std::nullopt;
    report_read_problem(problem, run.check_bmp_raw);
    return fail_with_wait(run);
}

// The reason a temporary could not be made.
std::error_code reason(const OutputProblem& problem)
{
    return problem.error ? problem.error : std::make_error_code(std::errc::file_exists);
}

// Writes the cleaned mask into the temporaries of its files: RAW and ".dim",
// or BMP. A failure has the writer's message, then the driver's.
Step write_mask(MurgelRun& run, const std::string& output)
{
    const std::vector<std::string> files = output_files(run, output);
    std::vector<std::string> temporaries;
    for (const std::string& file : files) {
        const OutputFiles::Temporary temporary = run.outputs.temporary(file);
        if (temporary.problem) return writing_failed(run, file, reason(*temporary.problem));
        temporaries.push_back(temporary.path);
    }
    if (run.result_typology == "raw") {
        const auto problem = raw_8bit_create({temporaries[0], temporaries[1]}, run.Immagine, run.mask_file);
        if (!problem) return std::nullopt;
        if (problem->error == std::errc::not_enough_memory)
            std::fputs("Error in memory allocation\n", stdout);
        else
            std::fputs(problem->in_header ? "\nError in writing .dim file\n" : "\nError in writing raw image\n", stdout);
        run.console.wait_for_key();
        return writing_failed(run, files[problem->in_header ? 1 : 0], problem->error);
    }
    const std::error_code error = bmp_256_create(temporaries[0], run.Immagine, run.mask_file, run.check_bmp_raw);
    if (!error) return std::nullopt;
    if (error == std::errc::not_enough_memory) {
        std::fputs("\nError in opening bmp image\n", stdout);
        run.console.wait_for_key();
    }
    return writing_failed(run, files[0], error);
}

Step run_steps(MurgelRun& run, int argc, char** argv)
{
    print_banner();
    if (const Step end = take_inputs(run, argc, argv)) return end;
    if (const Step end = check_types(run)) return end;

    const std::string input = run.named(run.nome_input);
    const std::string output = run.named(drop_last_chars(run.nome_input, 4) + "_out");
    if (const Step end = declare_files(run, input, output)) return end;
    if (const Step end = read_mask(run, input)) return end;

    clean_mask(run.Immagine, run.soglia_blob);

    if (const Step end = write_mask(run, output)) return end;
    if (const auto problem = run.outputs.commit()) {
        report_output_problem(*problem);
        return fail_with_wait(run);
    }
    run.Immagine = Grid<std::uint8_t>();
    return std::nullopt;
}

}  // namespace

int run_murgel(MurgelRun& run, int argc, char** argv)
{
    if (const Step end = run_steps(run, argc, argv)) return *end;
    return finish(run, exit_status::success);
}
