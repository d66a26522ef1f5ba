#include "polvane.h"

#include "bmp.h"

#include <cstdio>

bool vectorise_image(PolvaneRun& run)
{
    Extent dim;
    if (const RasterProblem problem = bmp_grayscale256_open(run.named(run.nome_input), run.Matrice, dim)) {
        if (problem == RasterProblem::Kind::cannot_open) {
            std::printf("Cannot open input file\n");
            run.console.wait_for_key();
        } else {
            std::fputs(class_map_problem_text(problem).c_str(), stdout);
        }
        std::printf("\nError in file opening");
        run.console.wait_for_key();
        return true;
    }
    std::printf("\nOk...");
    run.width = dim.width;
    run.height = dim.height;

    if (!colour_census(run.Matrice, run.colori, max_colori)) {
        std::printf("\n Too much color");
        return true;
    }
    std::printf("\nThe color number is %d\n", static_cast<int>(run.colori.size()));

    run.nome_output_path = run.named(run.nome_output);
    // The blobs are traced from the class indices alone: the packed colours
    // are released before the work begins.
    run.classi = class_indices(run.Matrice, run.colori);
    run.Matrice = Grid<std::int32_t>();
    return gestore(run) == 0;
}
