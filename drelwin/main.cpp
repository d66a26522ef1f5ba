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
    if (!image_size_accepted(run.console, run.width, run.height)) return;
    File input = open_file(in_folder(run.check_path, run.path, run.nome_input), "rb");
    if (!input) {
        std::fputs("\nError in file opening", stdout);
        run.console.wait_for_key();
        return;
    }
    const std::optional<SegmentTable> segments = MOD_caricamento(input.get());
    input.reset();
    const std::optional<Grid<std::uint8_t>> Immagine = make_raster(run, segments);
    if (Immagine)
        bmp_grayscale256_create(run.console, in_folder(run.check_path, run.path, run.nome_output), *Immagine);
}

}  // namespace

int main(int argc, char** argv)
{
    Drelwin run;
    return guarded_main([&] {
        take_segment_tool_arguments(run, run.console, argc, argv, {"\nLarghezza=", "\nAltezza="});
        draw_file(run);
        std::fputs("\nEnd", stdout);
        if (!run.check_line_com) run.console.wait_for_key();
        return exit_status::success;
    });
}
