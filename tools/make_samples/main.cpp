// Writes the demo's sample data into a folder (see tools/README.md).
// Usage: make_samples <folder>
#include "platform.h"
#include "sample_files.h"

#include <cstdio>
#include <new>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_samples <folder>\n");
        return 1;
    }
    const std::string folder = argv[1];
    if (!is_directory(folder)) {
        std::printf("\nError: '%s' is not a folder\n", folder.c_str());
        return 1;
    }
    std::vector<std::string> written;
    try {
        if (!samples::write_samples(folder, written)) return 1;
    } catch (const std::bad_alloc&) {
        std::printf("\nError in memory allocation\n");
        return 1;
    }
    std::printf("%d sample files written to %s:", static_cast<int>(written.size()), folder.c_str());
    for (const std::string& name : written) std::printf(" %s", name.c_str());
    std::printf("\n");
    return 0;
}
