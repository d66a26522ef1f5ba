// Drelwin: draws the segments of a segments text file as black lines on a
// white 8-bit grey BMP of the size the user gives.

#include "arguments.h"
#include "bmp.h"
#include "console.h"
#include "disegna.h"
#include "exit_status.h"
#include "file.h"
#include "paths.h"
#include "segment_loader.h"

#include <cstdio>
#include <new>
#include <optional>
#include <string>

namespace {

struct Drelwin {
    Console console;
    std::string nome_input;
    std::string nome_output;
    std::string path;  // working folder
    int width = 0;
    int height = 0;
    bool check_path = false;
    bool check_line_com = false;
};

// A prompt's answer; the rest of its line is discarded.
std::string ask_word(Console& console, const char* prompt)
{
    std::fputs(prompt, stdout);
    std::string answer = console.read_word();
    console.flush_input();
    return answer;
}

int ask_int(Console& console, const char* prompt)
{
    std::fputs(prompt, stdout);
    const int answer = console.read_int();
    console.flush_input();
    return answer;
}

// Input, output, width, height and an optional working folder; with fewer
// arguments, the prompts.
void take_arguments(Drelwin& run, int argc, char** argv)
{
    if (argc >= 5) {
        run.nome_input = argv[1];
        run.nome_output = argv[2];
        run.width = atoi_like(argv[3]);
        run.height = atoi_like(argv[4]);
        run.check_line_com = true;
        if (argc >= 6) {
            run.path = join_arguments(argc, argv, 5);
            run.check_path = true;
        }
        return;
    }
    run.nome_input = ask_word(run.console, "\nInput File=");
    run.nome_output = ask_word(run.console, "\nOutput file=");
    run.width = ask_int(run.console, "\nLarghezza=");
    run.height = ask_int(run.console, "\nAltezza=");
}

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
    if (run.width <= 0 || run.height <= 0) {
        std::printf("\nError: image width and height must be greater than 0 (%d x %d given)", run.width,
                    run.height);
        run.console.wait_for_key();
        return;
    }
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
    try {
        take_arguments(run, argc, argv);
        draw_file(run);
        std::fputs("\nEnd", stdout);
        if (!run.check_line_com) run.console.wait_for_key();
    } catch (const InputEnded&) {
        std::fputs(Console::input_ended_message(), stdout);
        return exit_status::input_ended;
    } catch (const std::bad_alloc&) {
        std::fputs("\nError in memory allocation\n", stdout);
        return exit_status::failure;
    }
    return exit_status::success;
}
