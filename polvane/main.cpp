// Polvane: class map to one polygon shapefile per colour. The driver: the
// names from the command line or the prompts, the world file, the run.
#include "polvane.h"

#include "exit_status.h"
#include "program_main.h"

#include <cstdio>

namespace {

const ProgramInfo polvane_info = {
    "polvane",
    "turns a class map into one polygon shapefile per class colour",
    "Usage:\n"
    "  polvane <class map> <output name> [working folder]\n"
    "  polvane                          (asks \"Input File=\" and \"Output file=\")\n"
    "\n"
    "The class map is an 8-bit palette BMP, or a Byte raster GDAL reads (its\n"
    "colour table gives the colours; without one each value is a class). Every\n"
    "palette colour that is not a grey (red = green = blue) is a class, at most\n"
    "253 of them. Each 8-connected blob of a class becomes one polygon, its holes\n"
    "and the islands inside them included. The classes are numbered from 0 in\n"
    "the order their first pixels are met, column by column from the left, each\n"
    "column from the top.\n"
    "\n"
    "Writes <output name>_<n>.shp, .shx and .dbf for class n, in the working\n"
    "folder when one is given; each \"Processing Color\" line names the class's\n"
    "palette index and colour. A world file beside the class map (its name with\n"
    "the last three letters replaced by \"bpw\") puts the polygons in map units.\n"
    "Outputs appear only when the run completes; a run that fails leaves the\n"
    "folder as it was, and no output may overwrite an input.\n"
    "\n"
    "Exit status: 0 done; 1 the class map or world file cannot be used, too many\n"
    "colours, or an output cannot be written; 2 standard input ended at a prompt;\n"
    "255 the image does not fit in memory.\n",
    [] {
        std::vector<KnownOption> options = {
            {"mask", "", "the class map is a mask: every colour but black is a class, greys included"}};
        for (const KnownOption& option : output_options({false, true})) options.push_back(option);
        return options;
    }(),
    "\nError in memory allocation: the image is too large for the memory available\n",
    exit_status::failure,
};

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

// Fills the names from the command line (3 or more arguments) or the prompts.
void take_names(PolvaneRun& run, int argc, char** argv)
{
    if (argc >= 3) {
        run.nome_input = argv[1];
        run.nome_output = argv[2];
        run.from_command_line(argc, argv, 3, run.console);
        return;
    }
    std::printf("\nInput File=");
    run.nome_input = run.console.read_word();
    run.console.flush_input();
    std::printf("\nOutput file=");
    run.nome_output = run.console.read_word();
    run.console.flush_input();
}

int run_polvane(PolvaneRun& run, CommandLine& line)
{
    print_banner();
    run.mask = line.has("mask");
    if (const auto problem = take_output_choices(line, {false, true}, run.choices)) {
        std::printf("\nError: %s\n", problem->c_str());
        return exit_status::usage;
    }
    std::vector<char*> argv = line.argv();
    take_names(run, line.argc(), argv.data());
    run.outputs.add_input(run.named(run.nome_input));

    const std::optional<std::string> world = world_file_path(run.check_path, run.path, run.nome_input, "bpw");
    run.tfw = read_world_file(world);
    std::fputs(run.tfw.found ? "\n\nBPW file present\n" : "\n\nBPW file not present\n", stdout);
    if (run.tfw.found) run.outputs.add_input(*world);
    if (run.tfw.complete) run.georeference.world = run.tfw;
    if (!world_file_usable(run.tfw)) {
        std::printf("\nError: the world file '%s' does not hold six finite values with cell sizes other than 0\n",
                    world->c_str());
        return finish(run, exit_status::error);
    }

    if (const auto status = vectorise_image(run)) return *status;
    if (const auto problem = run.outputs.commit()) {
        report_output_problem(*problem);
        return exit_status::error;
    }
    return finish(run, exit_status::success);
}

}  // namespace

int main(int argc, char** argv)
{
    PolvaneRun run;
    return program_main(argc, argv, polvane_info, [&](CommandLine& line) { return run_polvane(run, line); });
}
