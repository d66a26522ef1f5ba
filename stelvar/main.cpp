// Stelvar: threshold slicer for 8-bit grey BMP images.
#include "stelvar.h"

#include "exit_status.h"
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
    "Writes threshold_<t>.bmp for every threshold t, into the working folder when\n"
    "one is given, else into the current folder. Outputs appear only when the run\n"
    "completes; a run that fails leaves the folder as it was, and no output may\n"
    "overwrite the input.\n"
    "\n"
    "Exit status: 0 done; 1 an argument that is no number, an input that is no\n"
    "uncompressed 8-bit BMP, a slice that would overwrite the input or cannot be\n"
    "written; 2 standard input ended at a prompt; 255 the input cannot be\n"
    "opened, a step below 1, or memory.\n",
    {},
    "\nerror in memory allocation\n",
    exit_status::failure,
};

int run_stelvar(StelvarRun& run, CommandLine& line)
{
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
