// From the class map to the shapefiles: the image read with its
// georeferencing, the colour census, the class indices the tracing runs on,
// the outputs declared and the per-colour loop run; and the run's closing
// line.
#include "polvane.h"

#include "class_outputs.h"
#include "exit_status.h"
#include "geo_input.h"
#include "program_main.h"

#include <cstdio>

int finish(PolvaneRun& run, int status)
{
    std::printf("\n\nEnd");
    if (!run.check_line_com) run.console.wait_for_key();
    return status;
}

Grid<std::uint8_t> class_indices(const Grid<std::int32_t>& Matrice, const std::vector<std::int32_t>& colori)
{
    ColourTable table;
    for (std::size_t i = 0; i < colori.size(); ++i) {
        const std::size_t s = table.slot(colori[i]);
        table.add(s, colori[i], 0);
        table.index(s) = static_cast<std::int32_t>(i);
    }
    const int width = Matrice.width(), height = Matrice.height();
    Grid<std::uint8_t> classi(width, height, no_class);
    if (classi.empty()) return classi;
    for (int y = 0; y < height; ++y) {
        const std::int32_t* row = Matrice.row(y);
        std::uint8_t* target = classi.row(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::size_t s = table.slot(row[x]);
            if (table.used(s)) target[x] = static_cast<std::uint8_t>(table.index(s));
        }
    }
    return classi;
}

std::optional<int> vectorise_image(PolvaneRun& run)
{
    Extent dim;
    Georeference read;
    const std::string input = run.named(run.nome_input);
    if (const InputProblem problem = read_class_map(input, run.Matrice, dim, run.colours, read)) {
        if (problem.refused_by_gdal()) {
            std::printf("\nError: %s", problem.geo.message().c_str());
        } else if (problem.raster == RasterProblem::Kind::cannot_open) {
            std::printf("Cannot open input file\n");
            run.console.wait_for_key();
        } else {
            std::fputs(class_map_problem_text(problem.raster).c_str(), stdout);
        }
        std::printf("\nError in file opening");
        run.console.wait_for_key();
        return finish(run, exit_status::error);
    }
    std::printf("\nOk...");
    run.width = dim.width;
    run.height = dim.height;

    // The suite's own world file first; then the raster's georeferencing
    // through GDAL, or a standard world file and a ".prj" beside it.
    if (read.through_gdal) {
        run.georeference.through_gdal = true;
        run.georeference.crs = read.crs;
        if (!run.tfw.complete) run.georeference.world = read.world;
    }
    if (const GeoProblem problem = complete_georeference(input, run.georeference)) {
        std::printf("\nError: %s\n", problem.message().c_str());
        return finish(run, exit_status::error);
    }
    run.tfw = run.georeference.world;
    run.gis = run.choices.gis || run.georeference.through_gdal;

    if (!colour_census(run.Matrice, run.colori, max_colori,
                       run.mask ? ClassColours::not_black : ClassColours::not_grey)) {
        std::printf("\n Too much color");
        return finish(run, exit_status::error);
    }
    std::printf("\nThe color number is %d\n", static_cast<int>(run.colori.size()));

    run.nome_output_path = run.named(run.nome_output);
    // The blobs are traced from the class indices alone: the packed colours
    // are released before the work begins.
    run.classi = class_indices(run.Matrice, run.colori);
    run.Matrice = Grid<std::int32_t>();
    ClassOutputs outputs(run);
    if (!outputs.declare()) return finish(run, exit_status::error);
    if (gestore(run, outputs) != 0) return exit_status::error;
    return std::nullopt;
}
