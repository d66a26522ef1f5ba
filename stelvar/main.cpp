// Stelvar: threshold slicer for 8-bit grey BMP images.
#include "stelvar.h"

#include "exit_status.h"
#include "guarded_main.h"

#include <cstdio>

namespace {

int run_stelvar(StelvarRun& run, int argc, char** argv)
{
    take_inputs(run, argc, argv);

    if (run.step <= 0 && run.soglia_min <= run.soglia_max) {
        std::printf("\nError: the step must be 1 or more (step %d from %d to %d would never end)\n", run.step,
                    run.soglia_min, run.soglia_max);
        run.console.wait_for_key();
        return exit_status::failure;
    }

    if (const auto status = read_input_image(run)) return *status;

    for (run.attuale = run.soglia_min; run.attuale <= run.soglia_max; run.attuale += run.step) {
        switch (bmp(run)) {
        case SliceWritten::yes:
            break;
        case SliceWritten::not_created:  // the slices written so far stay
            return exit_status::success;
        case SliceWritten::no_memory:
            return exit_status::failure;
        }
    }

    std::printf("\nEnd");
    if (!run.check_line_com) run.console.wait_for_key();
    return exit_status::success;
}

}  // namespace

int main(int argc, char** argv)
{
    StelvarRun run;
    return guarded_main([&] { return run_stelvar(run, argc, argv); }, "\nerror in memory allocation\n");
}
