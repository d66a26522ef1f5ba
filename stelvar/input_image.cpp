#include "stelvar.h"

#include "bmp.h"
#include "bmp_file.h"
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

// Where the input lies: what GDAL gave, else the standard world file and the
// ".prj" beside it.
std::optional<int> place_input(StelvarRun& run, const std::string& path)
{
    const GeoProblem problem = complete_georeference(path, run.georeference);
    if (!problem) return std::nullopt;
    std::printf("\nError: %s\n", problem.message().c_str());
    run.console.wait_for_key();
    return exit_status::error;
}

// A file that is no BMP, through GDAL.
std::optional<int> read_through_gdal(StelvarRun& run, const std::string& path)
{
    if (const GeoProblem problem = read_bytes_through_gdal(path, run.Immagine_bn, run.georeference)) {
        std::printf("\nError: %s\n", problem.message().c_str());
        run.console.wait_for_key();
        return exit_status::error;
    }
    run.width = run.Immagine_bn.width();
    run.height = run.Immagine_bn.height();
    // No BMP header to repeat: the suite's own.
    run.slice_head = bmp_header_and_palette(run.width, run.height, grey_palette());
    return place_input(run, path);
}

}  // namespace

std::optional<int> read_input_image(StelvarRun& run)
{
    const std::string path = run.named(run.nome_input);
    File input = open_file(path, "rb");
    if (!input) {
        std::printf("Cannot open input file.\n");
        run.console.wait_for_key();
        return exit_status::failure;
    }
    const bool head_read = read_bmp_head(input.get(), run.head);
    if ((run.head[0] != 'B' || run.head[1] != 'M') && gdal_opens(path)) {
        input.reset();
        return read_through_gdal(run, path);
    }
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
    return place_input(run, path);
}
