// Murgel: cleans a two-valued building mask (8-bit BMP or RAW with ".dim")
// by morphology and writes it as BMP or RAW.
#include "murgel_run.h"
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
    "its type is the name's extension as typed, \"bmp\" or \"raw\". Diagonal-only\n"
    "contacts and one-pixel channels are removed, buildings and holes smaller\n"
    "than the blob threshold (a whole number of pixels) deleted and filled, and\n"
    "each building closed where the gaps added are smaller than the threshold.\n"
    "\n"
    "Writes <input name without its extension>_out.bmp, or _out.raw and\n"
    "_out.dim, beside the input (in the working folder when one is given).\n"
    "The output appears only when the run completes; a run that fails leaves the\n"
    "folder as it was, and no output may overwrite an input.\n"
    "\n"
    "Exit status: 0 done; 1 a result or input type other than raw or bmp, a\n"
    "threshold that is no whole number, an output that would overwrite an\n"
    "input; 2 standard input ended at a prompt; 255 the input cannot be read,\n"
    "the output cannot be written, or memory.\n",
    {},
};

}  // namespace

int main(int argc, char** argv)
{
    MurgelRun run;
    return program_main(argc, argv, murgel_info, [&](CommandLine& line) {
        std::vector<char*> arguments = line.argv();
        return run_murgel(run, line.argc(), arguments.data());
    });
}
