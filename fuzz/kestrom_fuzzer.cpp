// Kestrom's inputs: the terrain model's ".dim" text, its float RAW and the
// crossroads file, as three sections of one input, read in the program's
// order (read_dim_file, raw_32bit_open, evaluate_crossroads).
#include "crossroads.h"
#include "file.h"
#include "fuzz_support.h"
#include "raw.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string_view> files = fuzzing::split_sections(fuzzing::as_text(data, size), 3);
    const std::string dim = fuzzing::write_scratch("dtm.dim", files[0]);
    const std::string raw = fuzzing::write_scratch("dtm.raw", files.size() > 1 ? files[1] : std::string_view());
    const std::string crossroads = fuzzing::write_scratch("cross.txt", files.size() > 2 ? files[2] : std::string_view());

    int width = 0, height = 0;
    if (!read_dim_file(dim, width, height)) return 0;  // the program asks for the extent instead
    Grid<float> Dtm;
    if (raw_32bit_open(raw, Dtm, width, height)) return 0;
    fuzzing::require(Dtm.width() == width && Dtm.height() == height, "the terrain model has another extent");

    File input = open_file(crossroads, "rb");
    File output = open_file(fuzzing::scratch_path("crossover_cross.txt"), "wb");
    evaluate_crossroads(Dtm, input.get(), output.get());
    return 0;
}
