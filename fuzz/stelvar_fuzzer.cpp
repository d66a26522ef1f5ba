// The threshold slicer's own BMP reading on one input file, in the program's
// order: read_bmp_head, controllo, read_pixel_rows; then one slice written.
#include "file.h"
#include "fuzz_support.h"
#include "stelvar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzzing::write_scratch("input.bmp", data, size);
    StelvarRun run;
    run.console = fuzzing::empty_console();
    run.path = fuzzing::scratch_path("");
    run.path.pop_back();
    run.check_path = true;

    File input = open_file(path, "rb");
    const bool head_read = read_bmp_head(input.get(), run.head);
    if (controllo(run, run.head) != 0 || !head_read) return 0;
    if (read_pixel_rows(input.get(), run.head, run.Immagine_bn) != PixelRowsProblem::none) return 0;
    input.reset();
    run.width = run.Immagine_bn.width();
    run.height = run.Immagine_bn.height();

    run.attuale = 100;
    run.p = 's';
    fuzzing::require(bmp(run) == SliceWritten::yes, "a slice of a readable image was not written");
    File slice = open_file(slice_name(run, run.attuale), "rb");
    BmpHead written;
    fuzzing::require(read_bmp_head(slice.get(), written), "the slice has no header");
    Grid<std::uint8_t> pixels;
    fuzzing::require(read_pixel_rows(slice.get(), written, pixels) == PixelRowsProblem::none &&
                         pixels.width() == run.width && pixels.height() == run.height,
                     "the slice does not read back at its extent");
    return 0;
}
