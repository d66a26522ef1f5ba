// Stelvar: threshold slicer for 8-bit grey BMP images.
#include "stelvar.h"

#include "exit_status.h"
#include "output_choices.h"
#include "program_main.h"

#include <cstdio>

namespace {

const ProgramInfo stelvar_info = {
    "stelvar",
    "slices an 8-bit grey BMP into one image per threshold",
    "Usage:\n"
    "  stelvar <input.bmp> <lower> <upper> <step> <mode> [working folder]\n"
    "  stelvar            (asks \"Input file (.bmp)=\", \"Lower threshold: \",\n"
    "                      \"Upper threshold: \", \"Step: \" and\n"
    "                      \"Sogliatura a toni di grigio?(s/n): \", grey-tone slices?)\n"
    "\n"
    "Slices the image at the thresholds lower, lower + step, ... up to upper,\n"
    "comparing each pixel's palette index with the threshold. Mode 1 (\"s\" at\n"
    "the prompt) keeps the pixels at or below the threshold as they are; any\n"
    "other mode (\"n\") makes them black. Pixels above it become white. The\n"
    "numbers are whole numbers; the upper threshold may have a fraction, which\n"
    "is cut off. The step must be 1 or more.\n"
    "\n"
    "Any single-band Byte raster GDAL opens (GeoTIFF, ...) may stand for the BMP;\n"
    "its slices then have the suite's own BMP header and grey palette.\n"
    "\n"
    "Writes threshold_<t>.bmp for every threshold t, into the working folder when\n"
    "one is given, else into the current folder. When the input is georeferenced\n"
    "(a GDAL raster's geotransform, or a standard world file \".wld\" beside the\n"
    "BMP; the CRS from the raster or a \".prj\"), threshold_<t>.wld and\n"
    "threshold_<t>.prj are written beside each slice. With --of GTiff the slices\n"
    "are threshold_<t>.tif instead: georeferenced Byte GeoTIFFs with the grey\n"
    "palette (no nodata). Outputs appear only when the run completes; a run that\n"
    "fails leaves the folder as it was, and no output may overwrite an input.\n"
    "\n"
    "Exit status: 0 done; 1 an argument that is no number, an output format not\n"
    "written, an input that is no uncompressed 8-bit BMP (or Byte raster GDAL\n"
    "opens), a slice that would overwrite an input or cannot be written; 2\n"
    "standard input ended at a prompt; 255 the input cannot be opened, a step\n"
    "below 1, or memory.\n",
    output_options({true, false}),
    "\nerror in memory allocation\n",
    exit_status::failure,
};

int run_stelvar(StelvarRun& run, CommandLine& line)
{
    if (const auto problem = take_output_choices(line, {true, false}, run.choices)) {
        std::printf("\nError: %s\n", problem->c_str());
        return exit_status::usage;
    }
    std::vector<char*> argv = line.argv();
    if (const auto status = take_inputs(run, line.argc(), argv.data())) return *status;

    if (run.step <= 0 && run.soglia_min <= run.soglia_max) {
        std::printf("\nError: the step must be 1 or more (step %d from %d to %d would never end)\n", run.step,
                    run.soglia_min, run.soglia_max);
        run.console.wait_for_key();
        return exit_status::failure;
    }

    if (const auto status = read_input_image(run)) return *status;
    if (const auto status = declare_slices(run)) return *status;
    for (run.attuale = run.soglia_min; run.attuale <= run.soglia_max; run.attuale += run.step)
        if (const auto status = bmp(run)) return *status;
    if (const auto problem = run.outputs.commit()) {
        report_output_problem(*problem);
        run.console.wait_for_key();
        return exit_status::error;
    }

    std::printf("\nEnd");
    if (!run.check_line_com) run.console.wait_for_key();
    return exit_status::success;
}

}  // namespace

int main(int argc, char** argv)
{
    StelvarRun run;
    return program_main(argc, argv, stelvar_info, [&](CommandLine& line) { return run_stelvar(run, line); });
}
