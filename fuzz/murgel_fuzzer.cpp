// The mask cleaner run end to end on a hostile input mask: the mask readers
// (bmp_256_open, raw_8bit_open with its ".dim"), the cleaning, and the
// writers. The written mask must be a file of the input's extent (it need
// not read back as a mask: cleaning may leave no background pixel).
//
// Built twice: as fuzz_murgel_bmp (the input is a BMP) and as fuzz_murgel_raw
// (the input is the ".dim" text, the section marker, then the RAW bytes).
#include "bmp_file.h"
#include "fuzz_support.h"
#include "murgel_run.h"
#include "options.h"
#include "platform.h"
#include "raw.h"

#include <string>
#include <vector>

namespace {

#ifdef MURGEL_FUZZ_RAW
constexpr const char* input_name = "mask.raw";
constexpr const char* result_type = "raw";
constexpr const char* output_name = "mask_out.raw";

void write_input(std::string_view input)
{
    const std::vector<std::string_view> files = fuzzing::split_sections(input, 2);
    if (files.size() == 2) {
        fuzzing::write_scratch("mask.dim", files[0]);
        fuzzing::write_scratch("mask.raw", files[1]);
    } else {
        fuzzing::remove_scratch("mask.dim");
        fuzzing::write_scratch("mask.raw", files[0]);
    }
}

// The extent a RAW mask's ".dim" gives, when its RAW holds that many bytes.
bool extent_of(const char* name, int& width, int& height)
{
    const std::string raw = fuzzing::scratch_path(name);
    return read_dim_file(raw.substr(0, raw.size() - 3) + "dim", width, height) && width >= 0 && height >= 0 &&
           file_size(raw) == static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
}
#else
constexpr const char* input_name = "mask.bmp";
constexpr const char* result_type = "bmp";
constexpr const char* output_name = "mask_out.bmp";

void write_input(std::string_view input)
{
    fuzzing::write_scratch("mask.bmp", input);
}

bool extent_of(const char* name, int& width, int& height)
{
    BmpIndices image;
    if (read_bmp_indices(fuzzing::scratch_path(name), image) != BmpProblem::none) return false;
    width = image.indices.width();
    height = image.indices.height();
    return true;
}
#endif

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    write_input(fuzzing::as_text(data, size));
    fuzzing::remove_scratch(output_name);

    CommandLine line;
    line.arguments = {"murgel", fuzzing::scratch_path(input_name), result_type, "4"};
    MurgelRun run;
    run.console = fuzzing::empty_console();
    if (run_murgel(run, line) != 0) return 0;

    int input_width = 0, input_height = 0, output_width = -1, output_height = -1;
    fuzzing::require(extent_of(input_name, input_width, input_height), "a run succeeded on a mask that does not read");
    fuzzing::require(extent_of(output_name, output_width, output_height), "the written mask does not read back");
    fuzzing::require(output_width == input_width && output_height == input_height, "the written mask has another extent");
    return 0;
}
