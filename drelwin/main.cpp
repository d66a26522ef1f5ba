// Drelwin: draws the segments of a segments text file as black lines on a
// white 8-bit grey BMP of the size the user gives.

#include "bmp.h"
#include "console.h"
#include "disegna.h"
#include "exit_status.h"
#include "file.h"
#include "guarded_main.h"
#include "paths.h"
#include "segment_loader.h"
#include "segment_tool_arguments.h"

#include <cstdio>
#include <new>
#include <optional>
#include <string>

namespace {

struct Drelwin : SegmentToolArguments {
    Console console;
};

// The raster to write: the segments drawn, or all white when the file is no
// valid segments file. None, after the message, when it cannot be held.
std::optional<Grid<std::uint8_t>> make_raster(Drelwin& run, const std::optional<SegmentTable>& segments)
{
    try {
        if (segments) return disegna(*segments, segments->n_segm, run.width, run.height);
        return Grid<std::uint8_t>(run.width, run.height, drelwin_background);
    } catch (const std::bad_alloc&) {
        std::fputs("\nError in writing image", stdout);
        run.console.wait_for_key();
        return std::nullopt;
    }
}

void draw_file(Drelwin& run)
{
    if (const auto problem = image_size_problem(run.width, run.height)) {
        std::fputs(problem->c_str(), stdout);
        run.console.wait_for_key();
        return;
    }
    File input = open_file(run.named(run.nome_input), "rb");
    if (!input) {
        std::fputs("\nError in file opening", stdout);
        run.console.wait_for_key();
        return;
    }
    const std::optional<SegmentTable> segments = MOD_caricamento(input.get());
    input.reset();
    const std::optional<Grid<std::uint8_t>> Immagine = make_raster(run, segments);
    if (!Immagine) return;
    const std::string output = run.named(run.nome_output);
    const std::error_code error = bmp_grayscale256_create(output, *Immagine);
    if (error == std::errc::not_enough_memory) {
        std::fputs("Error in crating bmp image\n", stdout);
        run.console.wait_for_key();
    } else if (error) {
        std::printf("\nError: cannot write '%s'\n", output.c_str());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    Drelwin run;
    return guarded_main([&] {
        if (const auto problem = take_segment_tool_arguments(run, run.console, argc, argv, {"\nLarghezza=", "\nAltezza="})) {
            std::printf("\nError: %s\n", problem->c_str());
            return exit_status::usage;
        }
        draw_file(run);
        std::fputs("\nEnd", stdout);
        if (!run.check_line_com) run.console.wait_for_key();
        return exit_status::success;
    });
}
