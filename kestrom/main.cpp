// Kestrom: intersects the lines of segment pairs and lists the crossings
// that stand at least 3 height units above the terrain around them.

#include "console.h"
#include "crossroads.h"
#include "exit_status.h"
#include "file.h"
#include "geo_input.h"
#include "invocation.h"
#include "number_text.h"
#include "paths.h"
#include "platform.h"
#include "program_main.h"
#include "raw.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

const ProgramInfo kestrom_info = {
    "kestrom",
    "lists the crossings of segment pairs that stand out from a terrain model",
    "Usage:\n"
    "  kestrom <crossroads file> <dtm base name> [working folder]\n"
    "  kestrom          (asks \"Input file crossroads (ascii file): \" and\n"
    "                   \"Input file dtm (without extension): \")\n"
    "\n"
    "The terrain model is <dtm>.raw, 32-bit little-endian floats, top row first,\n"
    "with its width and height in <dtm>.dim. With arguments a missing or\n"
    "unreadable .dim is an error; at the prompts the extent is asked for instead\n"
    "(\"width: \", \"height: \"). When neither <dtm>.raw nor <dtm>.dim is there,\n"
    "<dtm> may name any raster GDAL reads (kestrom pairs.txt dtm.tif): band 1,\n"
    "any numeric type, as floats, its nodata value as NaN. A crossing whose 5 x 5\n"
    "window or mean cells hold NaN is not reported: the terrain there is\n"
    "unknown. Each record of the crossroads file is 8 numbers,\n"
    "two segments x1 y1 x2 y2 x3 y3 x4 y4 in terrain pixels. Every crossing of\n"
    "their lines that stands 3 or more above the terrain around it is written as\n"
    "\"x<TAB>y<TAB>excess\" to crossover_<crossroads file name>, beside the\n"
    "crossroads file (\"../d/pairs.txt\" gives \"../d/crossover_pairs.txt\"), and\n"
    "shown. With a working folder every name is taken inside it. The report\n"
    "appears only when the run completes; a run that fails leaves the folder as\n"
    "it was, and the report never overwrites an input.\n"
    "\n"
    "Exit status: 0 done; 255 the terrain model, its .dim (with arguments) or the\n"
    "crossroads file cannot be read (a raster GDAL opens but cannot read included), or the report cannot be written; 1 the\n"
    "report would overwrite an input or is a folder; 2 standard input ended at a\n"
    "prompt.\n",
    {},
};

struct Kestrom : Invocation {
    Console console;
    std::string nome_input_cross;
    std::string nome_input_dtm;  // base name, without extension
    int width = 0;
    int height = 0;
    Grid<float> Dtm;      // row 0 the first row of the file
    OutputFiles outputs;  // the report, put in place when the run completes
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
        run.from_command_line(argc, argv, 3, run.console);
        return;
    }
    run.nome_input_cross = run.console.ask_word("Input file crossroads (ascii file): ");
    run.nome_input_dtm = run.console.ask_word("\nInput file dtm (without extension): ");
}

// Prints a failure, waits for a key and gives the failure status.
int fail(Kestrom& run, const std::string& message)
{
    std::fputs(message.c_str(), stdout);
    run.console.wait_for_key();
    return exit_status::failure;
}

// A problem of the report that the run cannot have; the key is waited for
// only after prompts.
int refuse_output(Kestrom& run, const OutputProblem& problem)
{
    report_output_problem(problem);
    if (!run.check_line_com) run.console.wait_for_key();
    return exit_status::error;
}

// The report could not be created or written: the message about it, then
// its name and the system's reason.
int report_not_written(Kestrom& run, const std::string& report, const std::error_code& error)
{
    std::fputs("\nError in opening crossover.txt file\n", stdout);
    report_write_failure(report, error);
    run.console.wait_for_key();
    return exit_status::failure;
}

// The DTM extent from its ".dim" file; at the prompts, from the user when
// that file cannot be read. With arguments nobody is there to ask.
std::optional<int> take_dimensions(Kestrom& run)
{
    const std::string dim_name = run.named(run.nome_input_dtm + ".dim");
    if (read_dim_file(dim_name, run.width, run.height)) {
        run.outputs.add_input(dim_name);
        return std::nullopt;
    }
    std::fputs("\nError opening dtm dimension file (.dim)", stdout);
    if (run.check_line_com) {
        const bool opens = static_cast<bool>(open_file(dim_name, "rb")) && !is_directory(dim_name);
        return fail(run, opens ? "\nError: '" + dim_name + "' does not hold two whole numbers, the width and the height\n"
                               : "\nError: cannot open '" + dim_name + "', which gives the width and the height\n");
    }
    std::fputs("\n\nEnter dimension:\n", stdout);
    run.width = run.console.ask_int("\nwidth: ");
    run.height = run.console.ask_int("\nheight: ");
    return std::nullopt;
}

// A terrain model GDAL opened (`facts`, or the problem it met): band 1 as
// floats, its nodata as NaN.
std::optional<int> read_dtm_through_gdal(Kestrom& run, const std::string& name, const GdalRasterFacts& facts,
                                         GeoProblem problem)
{
    if (!problem) {
        std::printf("\nDTM '%s' read through GDAL: %s (%s), %d x %d", name.c_str(), facts.data_type.c_str(),
                    facts.driver.c_str(), facts.width, facts.height);
        if (facts.nodata) std::printf(", nodata %s taken as NaN", format_number("%g", *facts.nodata).c_str());
        std::fputs("\n", stdout);
        Georeference georeference;
        problem = read_floats_through_gdal(name, run.Dtm, true, georeference);
    }
    if (problem) {
        std::printf("\nError: %s\n", problem.message().c_str());
        return fail(run, "\nError in reading dtm file");
    }
    for (const std::string& file : facts.files) run.outputs.add_input(file);
    return std::nullopt;
}

std::optional<int> read_dtm(Kestrom& run)
{
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
    run.outputs.add_input(dtm_name);
    return std::nullopt;
}

// The terrain model: "<dtm>.raw" with its extent; when neither "<dtm>.raw"
// nor "<dtm>.dim" is there, a raster GDAL opens under the name as given.
std::optional<int> read_terrain(Kestrom& run)
{
    const std::string name = run.named(run.nome_input_dtm);
    const bool raw_layout = open_file(name + ".raw", "rb") || open_file(name + ".dim", "rb");
    GdalRasterFacts facts;
    Georeference georeference;  // the report is in pixels: nothing to place
    const GeoProblem problem =
        raw_layout ? GeoProblem(GeoProblem::Kind::cannot_open, name) : describe_through_gdal(name, facts, georeference);
    if (problem != GeoProblem::Kind::cannot_open) return read_dtm_through_gdal(run, name, facts, problem);
    if (const auto status = take_dimensions(run)) return status;
    return read_dtm(run);
}

int run_kestrom(Kestrom& run, CommandLine& line)
{
    print_banner();
    std::vector<char*> argv = line.argv();
    take_arguments(run, line.argc(), argv.data());
    if (const auto status = read_terrain(run)) return *status;

    // The crossroads file is read before the report is made: a folder or a
    // file that cannot be read ends the run with nothing written.
    const std::string crossroads_name = run.named(run.nome_input_cross);
    File crossroads = is_directory(crossroads_name) ? File() : open_file(crossroads_name, "rb");
    if (!crossroads) return fail(run, "\nError in opening crossroads file");
    run.outputs.add_input(crossroads_name);

    // The report sits beside the crossroads file.
    const std::string report = run.named(prefix_file_name(run.nome_input_cross, "crossover_"));
    if (const auto problem = run.outputs.add_output(report)) return refuse_output(run, *problem);
    const OutputFiles::Temporary temporary = run.outputs.temporary(report);
    if (temporary.problem) return report_not_written(run, report, temporary.problem->error);
    WrittenFile output(temporary.path);
    if (!output.good()) return report_not_written(run, report, output.finish());

    evaluate_crossroads(run.Dtm, crossroads.get(), output.get());
    if (std::ferror(crossroads.get())) return fail(run, "\nError in opening crossroads file");

    run.Dtm = Grid<float>();
    crossroads.reset();
    if (const std::error_code error = output.finish()) return report_not_written(run, report, error);
    if (const auto problem = run.outputs.commit()) return refuse_output(run, *problem);
    std::fputs("\nEnd", stdout);
    if (!run.check_line_com) run.console.wait_for_key();
    return exit_status::success;
}

}  // namespace

int main(int argc, char** argv)
{
    Kestrom run;
    return program_main(argc, argv, kestrom_info, [&](CommandLine& line) { return run_kestrom(run, line); });
}
