// suite-tiles-polvane-merge: the shapefiles of a tiled Polvane run joined
// into those one run on the whole mosaic writes. Run by the tiled work flow
// (suite-tiles) after every tile has been traced.
#include "colour_merge.h"
#include "exit_status.h"
#include "output_files.h"
#include "program_main.h"
#include "tile_plan.h"

#include <cstdio>

namespace {

// At most this many class colours, as for one run.
constexpr std::size_t max_colori = 253;

const ProgramInfo merge_info = {
    "suite-tiles-polvane-merge",
    "joins the shapefiles of a tiled Polvane run",
    "Usage:\n"
    "  suite-tiles-polvane-merge <plan>\n"
    "\n"
    "Run by suite-tiles: reads the plan of a tiled Polvane run (the mosaic's\n"
    "size and world file, the output base name, the tiles with their censuses\n"
    "and shapefiles) and writes <output>_<n>.shp, .shx and .dbf for every class\n"
    "colour of the mosaic, as one run of polvane on the whole mosaic writes\n"
    "them. Outputs appear only when all of them are written.\n"
    "\n"
    "Exit status: 0 done; 1 the plan or a tile cannot be read, too many colours,\n"
    "or an output cannot be written.\n",
    {},
    "\nError in memory allocation: the tiles are too large for the memory available\n",
    exit_status::failure,
};

int run_merge(CommandLine& line)
{
    if (line.argc() != 2) {
        std::fputs(merge_info.usage.c_str(), stdout);
        return exit_status::error;
    }
    TiledRun run;
    if (const auto problem = read_plan(line.argv()[1], run)) {
        std::printf("\nError: %s\n", problem->c_str());
        return exit_status::error;
    }
    const std::vector<std::int32_t> colori = mosaic_census(run);
    if (colori.size() > max_colori) {
        std::printf("\n Too much color");
        return exit_status::error;
    }
    std::printf("\nThe color number is %d\n", static_cast<int>(colori.size()));

    OutputFiles outputs;
    ShapefileOptions options;
    options.world = run.world;
    for (std::size_t i = 0; i < colori.size(); ++i)
        if (const auto problem = add_shapefile_outputs(outputs, run.output + "_" + std::to_string(i))) {
            report_output_problem(*problem);
            return exit_status::error;
        }
    for (std::size_t i = 0; i < colori.size(); ++i) {
        const std::string nome = run.output + "_" + std::to_string(i);
        std::printf("Joining colour %d/%d\n", static_cast<int>(i) + 1, static_cast<int>(colori.size()));
        ShapefilePaths files;
        auto problem = shapefile_temporaries(outputs, nome, files);
        try {
            if (!problem) problem = merge_colour(run, colori[i], files, options);
        } catch (const std::runtime_error& error) {
            std::printf("\nError: %s\n", error.what());
            return exit_status::error;
        }
        if (problem) {
            std::printf("\nError in creating '%s'\n", problem->extension);
            report_write_failure(nome + problem->extension, problem->error);
            return exit_status::error;
        }
    }
    if (const auto problem = outputs.commit()) {
        report_output_problem(*problem);
        return exit_status::error;
    }
    return exit_status::success;
}

}  // namespace

int main(int argc, char** argv)
{
    return program_main(argc, argv, merge_info, run_merge);
}
