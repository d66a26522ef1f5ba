// Murgel: cleans a two-valued building mask (8-bit BMP or RAW with ".dim")
// by morphology and writes it as BMP or RAW.
#include "murgel_run.h"
#include "output_choices.h"
#include "program_main.h"

namespace {

const ProgramInfo murgel_info = {
    "murgel",
    "cleans a two-valued building mask by morphology",
    "Usage:\n"
    "  murgel <input.bmp|input.raw> <raw|bmp> <blob threshold> [working folder]\n"
    "  murgel            (asks \"Input file=\", \"Result type (raw/bmp)=\" and\n"
    "                     \"Blob threshold: \")\n"
    "\n"
    "The input is an 8-bit BMP, or an 8-bit RAW with its \".dim\" file (width and\n"
    "height) beside it, holding a black background and one foreground value;\n"
    "its type is the name's extension as typed, \"bmp\" or \"raw\". A name with\n"
    "any other ending is read through GDAL: band 1 of a Byte raster (GeoTIFF,\n"
    "...), read as a BMP is when it has a colour table (black the background,\n"
    "the palette kept), else as a RAW (0 the background).\n"
    "Diagonal-only contacts and one-pixel channels are removed, buildings and\n"
    "holes smaller than the blob threshold (a whole number of pixels) deleted\n"
    "and filled, and each building closed where the gaps added are smaller than\n"
    "the threshold.\n"
    "\n"
    "Writes <input name without its extension>_out.bmp, or _out.raw, _out.dim\n"
    "and the ENVI header _out.hdr (so that GDAL opens the RAW), beside the input\n"
    "(in the working folder when one is given). When the input is\n"
    "georeferenced (a GDAL raster's geotransform, or a standard world file\n"
    "\".wld\" beside a BMP or RAW; the CRS from the raster or a \".prj\"),\n"
    "_out.wld and _out.prj are written beside, and the header holds \"map info\".\n"
    "With --of GTiff _out.tif alone is written: the BMP's palette and values as a\n"
    "georeferenced Byte GeoTIFF (no nodata: 0 is the background). The output\n"
    "appears only when the run completes; a run that fails leaves the folder as\n"
    "it was, and no output may overwrite an input.\n"
    "\n"
    "Exit status: 0 done; 1 a result or input type other than raw or bmp (or a\n"
    "raster GDAL opens), a threshold that is no whole number, an output format\n"
    "not written, an output that would overwrite an input; 2 standard input\n"
    "ended at a prompt; 255 the input cannot be read, the output cannot be\n"
    "written, or memory.\n",
    output_options({true, false}),
};

}  // namespace

int main(int argc, char** argv)
{
    MurgelRun run;
    return program_main(argc, argv, murgel_info, [&](CommandLine& line) { return run_murgel(run, line); });
}
