#include "stelvar.h"

#include "exit_status.h"
#include "file.h"

#include <cstdio>

namespace {

// The input is no image the slicer can read: its message, the wait.
int refuse(StelvarRun& run, const char* message)
{
    std::fputs(message, stdout);
    run.console.wait_for_key();
    return exit_status::error;
}

}  // namespace

std::optional<int> read_input_image(StelvarRun& run)
{
    File input = open_file(run.named(run.nome_input), "rb");
    if (!input) {
        std::printf("Cannot open input file.\n");
        run.console.wait_for_key();
        return exit_status::failure;
    }
    const bool head_read = read_bmp_head(input.get(), run.head);
    if (controllo(run, run.head) != 0) return exit_status::error;
    if (!head_read) return refuse(run, "\nError in BMP format: the file ends inside its header\n");

    switch (read_pixel_rows(input.get(), run.head, run.Immagine_bn)) {
    case PixelRowsProblem::none:
        break;
    case PixelRowsProblem::compressed:
        return refuse(run, "\nError in BMP format: compressed pixel rows are not read\n");
    case PixelRowsProblem::pixels_inside_header:
        return refuse(run, "\nError in BMP format: the pixel data begins inside the header\n");
    case PixelRowsProblem::negative_size:
        return refuse(run, "\nError in BMP format: negative width or height\n");
    case PixelRowsProblem::short_data:
        return refuse(run, "\nError in BMP format: pixel data shorter than width, height and padding require\n");
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
