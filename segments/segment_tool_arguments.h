// The command line, the prompts and the reading of the segments file shared
// by the two programs that turn a segments file into an image-sized output
// (a shapefile, a BMP):
//
//   <input> <output> <width> <height> [working folder ...]
//
// With fewer than four values the four are asked for at prompts, each
// answer's line discarded after it.
#pragma once

#include "console.h"
#include "invocation.h"
#include "segment_loader.h"

#include <optional>
#include <string>

struct SegmentToolArguments : Invocation {
    std::string nome_input;
    std::string nome_output;
    int width = 0;
    int height = 0;
};

// The prompts for the image size; the names are asked with "\nInput File="
// and "\nOutput file=".
struct SizePrompts {
    const char* width;
    const char* height;
};

// Takes the arguments, or asks for them. A width or height on the command
// line that is not wholly a number is refused: the reason is returned
// ("'12x' is not a whole number (width)").
std::optional<std::string> take_segment_tool_arguments(SegmentToolArguments& arguments, Console& console, int argc,
                                                       char** argv, const SizePrompts& prompts);

// The image size must be at least 1 x 1 (coordinates are scaled and clipped
// by it); otherwise the reason, to be printed:
// "\nError: image width and height must be greater than 0 (W x H given)".
std::optional<std::string> image_size_problem(int width, int height);

// A segments file as the two programs read it.
struct SegmentsFile {
    bool readable = false;              // false: missing, a folder, or not readable to its end
    bool blank = false;                 // it holds nothing but white space (or no byte at all): no segments
    std::optional<SegmentTable> table;  // none: no valid segments file (segment_loader.h)
};

// Reads the segments file at `path` with the plain loader or, given
// `flip_height`, the row-flipping one.
SegmentsFile read_segments_file(const std::string& path, std::optional<int> flip_height);
