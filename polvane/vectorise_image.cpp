#include "polvane.h"

#include "bmp.h"
#include "exit_status.h"
#include "program_main.h"
#include "shapefile_writer.h"

#include <cstdio>

std::optional<int> vectorise_image(PolvaneRun& run)
{
    Extent dim;
    if (const RasterProblem problem = bmp_grayscale256_open(run.named(run.nome_input), run.Matrice, dim, &run.palette)) {
        if (problem == RasterProblem::Kind::cannot_open) {
            std::printf("Cannot open input file\n");
            run.console.wait_for_key();
        } else {
            std::fputs(class_map_problem_text(problem).c_str(), stdout);
        }
        std::printf("\nError in file opening");
        run.console.wait_for_key();
        return finish(run, exit_status::error);
    }
    std::printf("\nOk...");
    run.width = dim.width;
    run.height = dim.height;

    if (!colour_census(run.Matrice, run.colori, max_colori,
                       run.mask ? ClassColours::not_black : ClassColours::not_grey)) {
        std::printf("\n Too much color");
        return finish(run, exit_status::error);
    }
    std::printf("\nThe color number is %d\n", static_cast<int>(run.colori.size()));

    run.nome_output_path = run.named(run.nome_output);
    for (std::size_t i = 0; i < run.colori.size(); ++i)
        if (const auto problem = add_shapefile_outputs(run.outputs, run.nome_output_path + "_" + std::to_string(i))) {
            report_output_problem(*problem);
            return finish(run, exit_status::error);
        }
    // The blobs are traced from the class indices alone: the packed colours
    // are released before the work begins.
    run.classi = class_indices(run.Matrice, run.colori);
    run.Matrice = Grid<std::int32_t>();
    if (gestore(run) != 0) return exit_status::error;
    return std::nullopt;
}
