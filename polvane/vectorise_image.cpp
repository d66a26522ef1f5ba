#include "polvane.h"

#include "bmp.h"
#include "paths.h"

#include <cstdio>

bool vectorise_image(PolvaneRun& run)
{
    int dim[2] = {0, 0};
    if (bmp_grayscale256_open(run.console, in_folder(run.check_path, run.path, run.nome_input), run.Matrice, dim,
                              ColourReaderCaller::polvane) != 0) {
        std::printf("\nError in file opening");
        run.console.wait_for_key();
        return true;
    }
    std::printf("\nOk...");
    run.width = dim[0];
    run.height = dim[1];

    if (!colour_census(run.Matrice, run.colori, max_colori)) {
        std::printf("\n Too much color");
        return true;
    }
    std::printf("\nThe color number is %d\n", static_cast<int>(run.colori.size()));

    run.nome_output_path = in_folder(run.check_path, run.path, run.nome_output);
    // The blobs are traced from the class indices alone: the packed colours
    // are released before the work begins.
    run.classi = class_indices(run.Matrice, run.colori);
    run.Matrice = Grid<std::int32_t>();
    return gestore(run) == 0;
}
