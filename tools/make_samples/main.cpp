// Writes the demo's sample data into a folder (see tools/README.md).
// Usage: make_samples <folder>
//        make_samples --geotiff <folder>   (the town as GeoTIFFs; needs GDAL)
#include "geotiff_samples.h"
#include "platform.h"
#include "sample_files.h"

#include <cstdio>
#include <new>

int main(int argc, char** argv)
{
    const bool geotiff = argc == 3 && std::string(argv[1]) == "--geotiff";
    if (argc != 2 && !geotiff) {
        std::fprintf(stderr, "usage: make_samples [--geotiff] <folder>\n");
        return 1;
    }
    if (geotiff && !samples::can_write_geotiffs()) {
        std::fprintf(stderr, "make_samples: this build has no GDAL and writes no GeoTIFF\n");
        return 3;
    }
    const std::string folder = argv[argc - 1];
    if (!is_directory(folder)) {
        std::printf("\nError: '%s' is not a folder\n", folder.c_str());
        return 1;
    }
    std::vector<std::string> written;
    try {
        if (!(geotiff ? samples::write_geotiff_samples(folder, written) : samples::write_samples(folder, written)))
            return 1;
    } catch (const std::bad_alloc&) {
        std::printf("\nError in memory allocation\n");
        return 1;
    }
    std::printf("%d sample files written to %s:", static_cast<int>(written.size()), folder.c_str());
    for (const std::string& name : written) std::printf(" %s", name.c_str());
    std::printf("\n");
    return 0;
}
