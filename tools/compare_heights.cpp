// Compares a height raster with the sample town's true building heights: for
// every building of the truth file, the height at its seed pixel.
// Usage: compare_heights <heights.raw> <width> <height> <truth file>
// The truth file holds one building per line (id, shape, pixel box, true
// height in metres, shadow length, seed x, seed y counted from the top row);
// lines starting with '#' are comments.
#include "grid.h"
#include "raw.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: compare_heights <heights.raw> <width> <height> <truth file>\n");
        return 1;
    }
    const int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
    Grid<float> heights;  // row 0 the top
    if (raw_32bit_open(argv[1], heights, width, height)) {
        std::printf("cannot read %s\n", argv[1]);
        return 1;
    }
    std::ifstream truth(argv[4]);
    if (!truth) {
        std::printf("cannot read %s\n", argv[4]);
        return 1;
    }
    int buildings = 0, measured = 0;
    double sum = 0, sum_abs = 0, largest = 0;
    std::string line;
    while (std::getline(truth, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string id, shape;
        int x_min, y_min, x_max, y_max, seed_x, seed_y;
        double true_height, shadow_px;
        if (!(fields >> id >> shape >> x_min >> y_min >> x_max >> y_max >> true_height >> shadow_px >> seed_x >> seed_y))
            continue;
        if (!heights.contains(seed_x, seed_y)) continue;
        ++buildings;
        const double estimate = heights(seed_x, seed_y);
        if (estimate <= 0) continue;
        ++measured;
        const double error = estimate - true_height;
        sum += error;
        sum_abs += std::fabs(error);
        largest = std::max(largest, std::fabs(error));
    }
    std::printf("%d buildings, %d with a height", buildings, measured);
    if (measured > 0)
        std::printf(": mean error %+.2f m, mean absolute error %.2f m, largest %.2f m", sum / measured,
                    sum_abs / measured, largest);
    std::printf("\n");
    return 0;
}
