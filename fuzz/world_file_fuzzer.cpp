// World files: the reading, and the extents and mappings built on it.
#include "fuzz_support.h"
#include "world_file.h"


extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzzing::write_scratch("image.bpw", data, size);
    const WorldFile silent = read_world_file(path);
    fuzzing::require(silent.found, "an existing world file was not found");
    if (!silent.complete)
        for (double v : silent.values) fuzzing::require(v == 0.0, "an incomplete world file left values behind");

    for (int width : {1, 13})
        for (int height : {1, 7}) {
            const MapExtent writer = writer_extent(silent, width, height);
            volatile double x = map_x(writer, width / 2.0, width);
            volatile double y = map_y(writer, height / 2.0, height);
            (void)x;
            (void)y;
            raster_extent(silent, width, height);
        }
    return 0;
}
