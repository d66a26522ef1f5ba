// The command line and prompts shared by the two programs that turn a
// segments file into an image-sized output (a shapefile, a BMP):
//
//   <input> <output> <width> <height> [working folder ...]
//
// With fewer than four values the four are asked for at prompts, each
// answer's line discarded after it.
#pragma once

#include "console.h"

#include <string>

struct SegmentToolArguments {
    std::string nome_input;
    std::string nome_output;
    std::string path;  // working folder
    int width = 0;
    int height = 0;
    bool check_path = false;      // a working folder was given
    bool check_line_com = false;  // the inputs came from the command line
};

// The prompts for the image size; the names are asked with "\nInput File="
// and "\nOutput file=".
struct SizePrompts {
    const char* width;
    const char* height;
};

void take_segment_tool_arguments(SegmentToolArguments& arguments, Console& console, int argc, char** argv,
                                 const SizePrompts& prompts);

// The image size must be at least 1 x 1 (coordinates are scaled and clipped
// by it). Otherwise prints why, waits for a key and returns false.
bool image_size_accepted(Console& console, int width, int height);
