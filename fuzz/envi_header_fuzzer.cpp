// The ENVI header writer's inputs: the output name as a user might type it
// and the raster extent, through both float RAW writers (the height form
// with its building filter, the zone form with its name derivation).
#include "file.h"
#include "fuzz_support.h"
#include "paths.h"
#include "raw.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

namespace {

// A name the scratch folder can hold: no folder separators, no NUL, short
// enough for the suffixes the writers add.
std::string file_name(std::string name)
{
    for (char& c : name)
        if (c == '/' || c == '\0') c = '_';
    if (name.size() > 200) name.resize(200);
    return name;
}

std::string read_file(const std::string& path)
{
    File file = open_file(path, "rb");
    if (!file) return std::string();
    std::string text;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) text.append(buffer, got);
    return text;
}

// The header names the extent written.
void check_header(const std::string& path, int width, int height)
{
    const std::string text = read_file(path);
    fuzzing::require(text.compare(0, 5, "ENVI\n") == 0, "the header does not start with ENVI");
    const std::string extent = "}\nsamples = " + std::to_string(width) + "\nlines = " + std::to_string(height) + "\n";
    fuzzing::require(text.find(extent) != std::string::npos, "the header does not give the extent");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int width = input.ConsumeIntegralInRange(0, 9);
    const int height = input.ConsumeIntegralInRange(0, 9);
    const std::int32_t building_colour = input.ConsumeIntegralInRange(0, 3);
    Grid<float> Immagine(width, height);
    Grid<std::int32_t> Matrice_building(width, height);
    for (float& v : Immagine.cells()) v = input.ConsumeFloatingPoint<float>();
    for (std::int32_t& c : Matrice_building.cells()) c = input.ConsumeIntegralInRange(0, 3);
    const std::string name = file_name(input.ConsumeRemainingBytesAsString());
    const std::string base = fuzzing::scratch_path(name);

    // Height form: "<name>.raw" and "<name>.hdr".
    if (!raw_32bit_create({base + ".raw", base + ".hdr"}, base, Immagine, Matrice_building, building_colour)) {
        check_header(base + ".hdr", width, height);
        fuzzing::require(read_file(base + ".raw").size() == 4u * width * height, "the RAW has another size");
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                fuzzing::require(!(Immagine(x, y) > 0) || Matrice_building(x, height - 1 - y) == building_colour,
                                 "a height outside the building class");
    }
    fuzzing::remove_scratch(name + ".raw");
    fuzzing::remove_scratch(name + ".hdr");

    // Zone form: the RAW named in full, the header beside it (its last three
    // characters replaced, so names shorter than that would leave the folder).
    if (name.size() < 3) return 0;
    const std::string header = envi_header_name(base);
    if (!raw_32bit_create({base, header}, zone_raster_base(base), Immagine)) {
        check_header(header, width, height);
        if (header != base)
            fuzzing::require(read_file(base).size() == 4u * width * height, "the RAW has another size");
    }
    fuzzing::remove_scratch(name);
    std::remove(header.c_str());
    return 0;
}
