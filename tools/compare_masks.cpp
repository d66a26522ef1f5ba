// Compares a building mask found by the programs with the sample town's
// building class map: how many pixels each marks as building and how many
// of them agree. A pixel is a building in the mask when it is not black, in
// the class map when it is not a grey.
// Usage: compare_masks <found mask.bmp> <class map.bmp>
// Prints "F building pixels found, T in the truth, A in both (P % of the
// truth, Q % of those found)".
#include "bmp.h"

#include <cstdio>

namespace {

bool read(const char* path, Grid<std::int32_t>& colours, Extent& dim)
{
    if (bmp_grayscale256_open(path, colours, dim)) {
        std::printf("cannot read %s\n", path);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: compare_masks <found mask.bmp> <class map.bmp>\n");
        return 1;
    }
    Grid<std::int32_t> found, truth;
    Extent found_dim, truth_dim;
    if (!read(argv[1], found, found_dim) || !read(argv[2], truth, truth_dim)) return 1;
    if (found_dim != truth_dim) {
        std::printf("the two images differ in size\n");
        return 1;
    }
    long long in_found = 0, in_truth = 0, in_both = 0;
    for (std::size_t i = 0; i < found.cells().size(); ++i) {
        const bool f = found.cells()[i] != 0;
        const bool t = !is_grey(truth.cells()[i]);
        in_found += f;
        in_truth += t;
        in_both += f && t;
    }
    std::printf("%lld building pixels found, %lld in the truth, %lld in both (%.1f %% of the truth, %.1f %% of those "
                "found)\n",
                in_found, in_truth, in_both, in_truth ? 100.0 * in_both / in_truth : 0.0,
                in_found ? 100.0 * in_both / in_found : 0.0);
    return 0;
}
