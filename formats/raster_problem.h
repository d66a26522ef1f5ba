// Why a raster file could not be read: the readers of formats/ return it and
// the programs word it.
#pragma once

#include <string>

struct RasterProblem {
    enum class Kind {
        none,
        cannot_open,
        not_bmp,               // the signature is not "BM"
        not_8bit,              // bits per pixel not 8, or compressed rows
        bad_layout,            // negative width, or pixel data inside the header
        truncated,             // the file holds fewer bytes than its header says
        out_of_memory,
        no_black_background,   // a mask without a black (0) pixel
        more_than_two_values,  // a mask of three values or more
        dim_cannot_open,       // the ".dim" beside a RAW raster (path) is missing
        dim_invalid,           // the ".dim" (path) holds no width and height of zero or more
        size_mismatch,         // the RAW file (path) does not hold width x height samples
        negative_size,         // width x height asked for is negative
    };
    Kind kind = Kind::none;
    std::string path;           // the file the problem is about, where it matters
    int width = 0, height = 0;  // the extent the file should have had, where it matters

    RasterProblem() = default;
    RasterProblem(Kind k, std::string file = {}, int w = 0, int h = 0) : kind(k), path(std::move(file)), width(w), height(h) {}
    explicit operator bool() const { return kind != Kind::none; }
    bool operator==(Kind k) const { return kind == k; }
    bool operator!=(Kind k) const { return kind != k; }
};

// The texts the programs share for the problems of a file's layout, each on
// lines of its own: a BMP whose header is wrong or that is cut short, a ".dim"
// that is missing or wrong. Empty for the problems each program words itself
// (cannot open, not a BMP, not 8 bit, memory, the mask values, sizes).
std::string layout_problem_text(const RasterProblem& problem);

// What Polvane and Talvern print when a class map cannot be read, beyond a
// file that does not open (each words that itself): "\nNot a valid BMP
// format", "\nNot a valid 8 bit BMP format", "error in memory
// allocation\n", or the layout text.
std::string class_map_problem_text(const RasterProblem& problem);
