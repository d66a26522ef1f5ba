// Zonrik: zonal statistics of a RAW background inside polygons.
#include "zonrik_run.h"

#include "program_main.h"

namespace {

const ProgramInfo zonrik_info = {
    "zonrik",
    "measures a background raster inside every polygon of a polygon shapefile",
    "Usage:\n"
    "  zonrik <polygons.shp> <background.raw> <output> <function> [working folder]\n"
    "  zonrik           (asks \"Shape file =\", \"File back_ground =\",\n"
    "                   \"File output (without extension)=\" and \"Function (...)=\")\n"
    "\n"
    "Functions: mean, variance, sqrt_variance, lmean, lvariance, c_cover, sp_temp\n"
    "(each also with a capital first letter or all in capitals). c_cover needs its\n"
    "two albedo thresholds: with arguments as --cover-max N --cover-min N; at the\n"
    "prompts they are asked for (\"Threshold albedo max (0 - 100)=\", \"Threshold\n"
    "albedo min (0 - 100)=\") unless given as options.\n"
    "\n"
    "The background is a RAW file of 8-bit, 16-bit signed or 32-bit float pixels\n"
    "with its width and height in the .dim beside it (its name with the last\n"
    "three letters replaced); a world file there (\"rww\") places the polygons.\n"
    "\n"
    "Writes <output>.shp, .shx and .dbf (the zones re-traced, field VALUE) in the\n"
    "current folder; <output>.raw and <output>.hdr (ENVI, 32-bit float) in the\n"
    "working folder when one is given; for c_cover <output>_cover.txt there and\n"
    "<output>.bmp in the current folder; for sp_temp <output>_temp.txt there.\n"
    "Outputs appear only when the run completes; a run that fails leaves the\n"
    "folders as they were, and no output may overwrite an input or its .shx,\n"
    ".dbf, .dim, .hdr or world file. The output name may hold no control\n"
    "character, \"{\" or \"}\" (it is written into the ENVI header).\n"
    "\n"
    "Exit status: 0 done; 255 an unknown function, an input that cannot be\n"
    "opened, a wrong .dim or background size, sp_temp on 8 or 16 bits, or a\n"
    "report that cannot be written; 1 a shapefile that cannot be read, a world\n"
    "file that cannot place the background, an output name or threshold that\n"
    "cannot be used, missing cover thresholds, or an output that would overwrite\n"
    "an input or cannot be written; 2 standard input ended at a prompt.\n",
    {
        {"cover-max", "N", "c_cover: the upper albedo threshold (0 - 100)"},
        {"cover-min", "N", "c_cover: the lower albedo threshold (0 - 100)"},
    },
    "\nError in memory allocation: the background is too large for the memory available\n",
    exit_status::failure,
};

}  // namespace

int main(int argc, char** argv)
{
    Zonrik run;
    return program_main(argc, argv, zonrik_info, [&](CommandLine& line) { return run_zonrik(run, line); });
}
