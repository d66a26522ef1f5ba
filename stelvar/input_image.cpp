#include "stelvar.h"

#include "exit_status.h"
#include "file.h"

#include <cstdio>

std::optional<int> read_input_image(StelvarRun& run)
{
    File input = open_file(run.named(run.nome_input), "rb");
    if (!input) {
        std::printf("Cannot open input file.\n");
        run.console.wait_for_key();
        return exit_status::failure;
    }
    const bool head_read = read_bmp_head(input.get(), run.head);
    if (controllo(run, run.head) != 0) return exit_status::success;
    if (!head_read) {
        std::printf("\nError in BMP format: the file ends inside its header\n");
        run.console.wait_for_key();
        return exit_status::success;
    }

    switch (read_pixel_rows(input.get(), run.head, run.Immagine_bn)) {
    case PixelRowsProblem::none:
        break;
    case PixelRowsProblem::negative_size:
        std::printf("\nError in BMP format: negative width or height\n");
        run.console.wait_for_key();
        return exit_status::success;
    case PixelRowsProblem::short_data:
        std::printf("\nError in BMP format: pixel data shorter than width, height and padding require\n");
        run.console.wait_for_key();
        return exit_status::success;
    case PixelRowsProblem::out_of_memory:
        std::printf("\nerror in memory allocation\n");
        run.console.wait_for_key();
        return exit_status::failure;
    }
    input.reset();
    run.width = run.Immagine_bn.width();
    run.height = run.Immagine_bn.height();
    return std::nullopt;
}
