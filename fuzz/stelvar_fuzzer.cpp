// The threshold slicer's own reading of its input image, then one slice
// written and read back.
#include "file.h"
#include "fuzz_support.h"
#include "stelvar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::write_scratch("input.bmp", data, size);
    StelvarRun run;
    run.nome_input = "input.bmp";
    run.console = fuzzing::empty_console();
    run.path = fuzzing::scratch_path("");
    run.path.pop_back();
    run.check_path = true;

    if (read_input_image(run)) return 0;

    run.attuale = 100;
    run.p = 's';
    fuzzing::require(!bmp(run) && !run.outputs.commit(), "a slice of a readable image was not written");
    File slice = open_file(slice_name(run, run.attuale), "rb");
    BmpHead written;
    fuzzing::require(read_bmp_head(slice.get(), written), "the slice has no header");
    Grid<std::uint8_t> pixels;
    fuzzing::require(read_pixel_rows(slice.get(), written, pixels) == PixelRowsProblem::none &&
                         pixels.width() == run.width && pixels.height() == run.height,
                     "the slice does not read back at its extent");
    return 0;
}
