#include "murgel_run.h"

#include "arguments.h"
#include "bmp_file.h"
#include "exit_status.h"
#include "mask_cleaning.h"
#include "mask_outputs.h"
#include "paths.h"
#include "program_main.h"
#include "raw.h"
#include "sidecar_names.h"

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
        run.from_command_line(argc, argv, 4, run.console);
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

// The output `path` was not written, for `reason`.
template <typename Reason>
int writing_failed(MurgelRun& run, const std::string& path, const Reason& reason)
{
    std::fputs("\nError in writing procedure\n", stdout);
    report_write_failure(path, reason);
    return fail_with_wait(run);
}

const char* const input_type_warning = "\nWarning: input file must be 'raw' or 'bmp'\n";

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
    // Any other name is a raster for GDAL to open, where the build has it.
    run.through_gdal = run.bmp_raw != "raw" && run.bmp_raw != "bmp";
    if (run.through_gdal && !gdal_built_in()) {
        std::fputs(input_type_warning, stdout);
        return finish(run, exit_status::error);
    }
    run.check_bmp_raw = run.bmp_raw == "bmp";
    return std::nullopt;
}

// The output's base name: the input name as typed without its last four
// characters (its extension), or for a raster read through GDAL without
// whatever extension it has; "_out" follows.
std::string output_base(const MurgelRun& run)
{
    if (!run.through_gdal) return run.named(drop_last_chars(run.nome_input, 4) + "_out");
    const std::string extension = name_extension(run.nome_input);
    const std::size_t cut = extension.empty() ? 0 : extension.size() + 1;
    return run.named(run.nome_input.substr(0, run.nome_input.size() - cut) + "_out");
}

// Names the files read and written; an output that would overwrite an input
// ends the run before anything is read or written (the sidecars, named once
// the input has told where it lies, before anything is written).
Step declare_outputs(MurgelRun& run, const std::vector<std::string>& files)
{
    for (const std::string& file : files) {
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

Step declare_files(MurgelRun& run, const std::string& input, const std::string& output)
{
    run.outputs.add_input(input);
    if (!run.check_bmp_raw && !run.through_gdal)
        if (const auto dim = replace_last_chars(input, 3, "dim")) run.outputs.add_input(*dim);
    for (const std::string& file : georeference_files(input)) run.outputs.add_input(file);
    return declare_outputs(run, mask_files(run, output));
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

// Band 1 of a Byte raster GDAL opens, as the mask. With a colour table it is
// read as a BMP mask is (black the background, the palette kept); without
// one as a RAW mask (0 the background, one other value). A file GDAL does
// not open has the input type's warning and GDAL's reason.
Step read_mask_through_gdal(MurgelRun& run, const std::string& input)
{
    BmpIndices image;
    ClassMapColours colours;
    if (const GeoProblem problem = read_bytes_through_gdal(input, image.indices, run.georeference, &colours)) {
        if (problem == GeoProblem::Kind::cannot_open) {
            std::printf("%s\nError: %s\n", input_type_warning, problem.message().c_str());
            return finish(run, exit_status::error);
        }
        std::printf("\nError: %s\n", problem.message().c_str());
        return fail_with_wait(run);
    }
    run.check_bmp_raw = colours.has_colour_table;
    image.palette = bmp_palette_of(colours);
    const Grid<std::uint8_t>& samples = image.indices;
    const RasterProblem problem =
        run.check_bmp_raw
            ? mask_from_indices(image, run.Immagine, run.mask_file)
            : mask_from_samples(samples.cells().data(), samples.width(), samples.height(), run.Immagine, run.mask_file);
    if (!problem) return std::nullopt;
    report_read_problem(problem, false);
    return fail_with_wait(run);
}

// Reads the mask, and where it lies.
Step read_mask(MurgelRun& run, const std::string& input)
{
    if (run.through_gdal) {
        if (const Step end = read_mask_through_gdal(run, input)) return end;
    } else if (const RasterProblem problem = run.check_bmp_raw ? bmp_256_open(input, run.Immagine, run.mask_file)
                                                               : raw_8bit_open(input, run.Immagine, run.mask_file)) {
        report_read_problem(problem, run.check_bmp_raw);
        return fail_with_wait(run);
    }
    if (const GeoProblem problem = complete_georeference(input, run.georeference)) {
        std::printf("\nError: %s\n", problem.message().c_str());
        return fail_with_wait(run);
    }
    return std::nullopt;
}

// Writes the cleaned mask into the temporaries of its files. A failure has
// the writer's message, then the driver's.
Step write_mask(MurgelRun& run, const std::string& output)
{
    const auto failure = write_mask_files(run, output);
    if (!failure) return std::nullopt;
    if (failure->error) return writing_failed(run, failure->file, failure->error);
    return writing_failed(run, failure->file, failure->reason);
}

Step run_steps(MurgelRun& run, CommandLine& line)
{
    print_banner();
    if (const auto problem = take_output_choices(line, {true, false}, run.choices)) {
        std::printf("\nError: %s\n", problem->c_str());
        return exit_status::usage;
    }
    std::vector<char*> argv = line.argv();
    if (const Step end = take_inputs(run, line.argc(), argv.data())) return end;
    if (const Step end = check_types(run)) return end;

    const std::string input = run.named(run.nome_input);
    const std::string output = output_base(run);
    if (const Step end = declare_files(run, input, output)) return end;
    if (const Step end = read_mask(run, input)) return end;
    if (const Step end = declare_outputs(run, mask_sidecars(run, output))) return end;

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

int run_murgel(MurgelRun& run, CommandLine& line)
{
    if (const Step end = run_steps(run, line)) return *end;
    return finish(run, exit_status::success);
}
