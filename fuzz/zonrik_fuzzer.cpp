// Zonrik's shapefile reading, alone and in the whole program. An input is
// up to three sections: the polygon shapefile (".shp"), then the function
// and the cover thresholds, given as --cover-max and --cover-min ("mean"
// when absent), then the background's world file (".rww", none when
// absent).
//
// First ShapeReader reads the main header and every record as it stands;
// then the program runs end to end on a small fixed float background, so
// that the record loop, the skip rule, the rasteriser and the zone tracing
// meet every coordinate the file holds: NaN, infinities, huge values,
// points outside their box, counts that lie.
#include "file.h"
#include "fuzz_support.h"
#include "guarded_main.h"
#include "platform.h"
#include "raw.h"
#include "shape_reader.h"
#include "zonrik_run.h"

#include <array>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int background_width = 16;
constexpr int background_height = 12;

// The background, written once: a ramp through negative, zero and positive
// values, so that every statistic (logarithms included) meets all three.
void write_background()
{
    static bool written = false;
    if (written) return;
    Grid<float> background(background_width, background_height);
    for (std::size_t i = 0; i < background.cells().size(); ++i)
        background.cells()[i] = static_cast<float>(i % 23) * 3.5f - 10.0f;
    fuzzing::require(!write_raw_floats(fuzzing::scratch_path("back.raw"), background) &&
                         !write_dim_file(fuzzing::scratch_path("back.dim"), background_width, background_height),
                     "cannot write the background");
    written = true;
}

// Reads the shapefile straight through; every record read must hold no more
// than the file does, with its parts inside its points.
void read_directly(const std::string& path, std::uint64_t size)
{
    File file = open_file(path, "rb");
    fuzzing::require(static_cast<bool>(file), "cannot open the shapefile");
    ShapeReader reader(std::move(file), size);
    std::array<double, 4> shp_box{};
    if (reader.read_header(shp_box) != ShapeHeader::ok) return;
    ShapeRecord record;
    std::uint64_t held = 0;  // bytes the records read so far hold at least
    while (reader.read_record_number(record) == ShapeRead::record) {
        fuzzing::require(reader.indice() == record.number, "the record number was not taken");
        if (reader.read_record_body(record) != ShapeRead::record) return;
        held += 8 + 44 + 4 * record.parts.size() + 8 * record.points.size();
        fuzzing::require(100 + held <= size, "the records hold more than the file");
        for (std::int32_t start : record.parts)
            fuzzing::require(start >= 0 && start <= record.numpoints(), "a part starts outside the points");
    }
}

// The shapefile the program wrote must read back whole: its header, then
// polygon records numbered 1, 2, ... to the end of the file, in pixel
// units inside the background when there was no world file.
void check_written_shapefile(bool pixel_units)
{
    const std::string path = fuzzing::scratch_path("out.shp");
    const std::optional<std::uint64_t> size = file_size(path);
    fuzzing::require(size.has_value(), "the output shapefile is missing");
    ShapeReader reader(open_file(path, "rb"), *size);
    std::array<double, 4> shp_box{};
    fuzzing::require(reader.read_header(shp_box) == ShapeHeader::ok, "the output shapefile's header does not read");
    ShapeRecord record;
    for (;;) {
        ShapeRead read = reader.read_record_number(record);
        if (read == ShapeRead::end) break;
        fuzzing::require(read == ShapeRead::record, "an output record number does not read");
        read = reader.read_record_body(record);
        fuzzing::require(read == ShapeRead::record, "an output record does not read");
        if (!pixel_units) continue;
        for (std::size_t i = 0; i < record.points.size(); i += 2)
            fuzzing::require(record.points[i] >= 0 && record.points[i] <= background_width &&
                                 record.points[i + 1] >= 0 && record.points[i + 1] <= background_height,
                             "a traced vertex lies outside the background");
    }
}

const char* const output_names[] = {"out.shp",       "out.shx",      "out.dbf", "out.raw", "out.hdr",
                                    "out.bmp",       "out_cover.txt", "out_temp.txt"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string_view> files = fuzzing::split_sections(fuzzing::as_text(data, size), 3);
    const fuzzing::InScratchFolder in_scratch;
    write_background();
    const std::string shp = fuzzing::write_scratch("zones.shp", files[0]);
    read_directly(shp, files[0].size());

    std::string function = "mean";
    CommandLine line;
    if (files.size() > 1) {
        std::istringstream words{std::string(files[1])};
        if (!(words >> function)) function = "mean";
        std::string threshold;
        for (const char* option : {"cover-max", "cover-min"})
            if (words >> threshold) line.options[option] = threshold;
    }
    const bool world_file = files.size() > 2;
    if (world_file)
        fuzzing::write_scratch("back.rww", files[2]);
    else
        fuzzing::remove_scratch("back.rww");
    for (const char* name : output_names) fuzzing::remove_scratch(name);

    line.arguments = {"zonrik", "zones.shp", "back.raw", "out", function};
    Zonrik run;
    run.console = fuzzing::empty_console();
    const int status = guarded_main([&] { return run_zonrik(run, line); });
    run.shapefile.reset();
    if (status != 0 || !file_size(fuzzing::scratch_path("out.raw"))) return 0;

    fuzzing::require(file_size(fuzzing::scratch_path("out.raw")) ==
                         std::uint64_t{4} * background_width * background_height,
                     "the output raster has another extent");
    check_written_shapefile(!world_file);
    return 0;
}
