// Stelvar: threshold slicer for 8-bit grey BMP images.
#include "stelvar.h"

#include "exit_status.h"
#include "file.h"
#include "guarded_main.h"
#include "paths.h"

#include <cstdio>
#include <new>

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

    File input = open_file(in_folder(run.check_path, run.path, run.nome_input), "rb");
    if (!input) {
        std::printf("Cannot open input file.\n");
        run.console.wait_for_key();
        return exit_status::failure;
    }
    const bool head_read = read_bmp_head(input.get(), run.head);
    if (controllo(run, run.head) != 0) return exit_status::success;
    if (!head_read) {
        std::printf("\nError in BMP format: the file ends inside its header\n");
        run.console.wait_for_key();
        return exit_status::success;
    }

    switch (read_pixel_rows(input.get(), run.head, run.Immagine_bn)) {
    case PixelRowsProblem::none:
        break;
    case PixelRowsProblem::negative_size:
        std::printf("\nError in BMP format: negative width or height\n");
        run.console.wait_for_key();
        return exit_status::success;
    case PixelRowsProblem::short_data:
        std::printf("\nError in BMP format: pixel data shorter than width, height and padding require\n");
        run.console.wait_for_key();
        return exit_status::success;
    case PixelRowsProblem::out_of_memory:
        std::printf("\nerror in memory allocation\n");
        run.console.wait_for_key();
        return exit_status::failure;
    }
    input.reset();
    run.width = run.Immagine_bn.width();
    run.height = run.Immagine_bn.height();

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
