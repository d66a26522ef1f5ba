// Traskel: a segments text file to one shapefile, a polyline per segment or
// a polygon per closed group of four segments, in map units when a world
// file lies beside the segments file.

#include "arguments.h"
#include "console.h"
#include "exit_status.h"
#include "file.h"
#include "paths.h"
#include "segment_loader.h"
#include "segment_shapes.h"
#include "shapefile_writer.h"
#include "world_file.h"

#include <cstdio>
#include <new>
#include <optional>
#include <string>

namespace {

struct Traskel {
    Console console;
    std::string nome_input;
    std::string nome_output;
    std::string nome_output_path;
    std::string path;  // working folder
    int width = 0;
    int height = 0;
    int tip = shape_type_polyline;
    WorldFile tfw;
    bool check_path = false;
    bool check_line_com = false;
};

// A prompt's answer; the rest of its line is discarded.
std::string ask_name(Console& console, const char* prompt)
{
    std::fputs(prompt, stdout);
    std::string answer = console.read_word();
    console.flush_input();
    return answer;
}

int ask_size(Console& console, const char* prompt)
{
    std::fputs(prompt, stdout);
    const int answer = console.read_int();
    console.flush_input();
    return answer;
}

// Input, output, width, height and an optional working folder; with fewer
// arguments, the prompts.
void take_arguments(Traskel& run, int argc, char** argv)
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
    run.nome_input = ask_name(run.console, "\nInput File=");
    run.nome_output = ask_name(run.console, "\nOutput file=");
    run.width = ask_size(run.console, "\nWidth=");
    run.height = ask_size(run.console, "\nHeight=");
}

// Loads the segments and writes the shapefile. Returns false when the
// shapefile could not be written: the writer has reported it and the run
// ends there.
bool convert_file(Traskel& run)
{
    if (run.width <= 0 || run.height <= 0) {
        // Pixel units are turned into map units by dividing by the image size.
        std::printf("\nError: image width and height must be greater than 0 (%d x %d given)", run.width,
                    run.height);
        run.console.wait_for_key();
        return true;
    }

    std::optional<std::string> nome_tfw = world_file_name(run.nome_input, "bpw");
    if (nome_tfw) nome_tfw = in_folder(run.check_path, run.path, *nome_tfw);
    run.tfw = read_world_file_bpw(nome_tfw);

    File input = open_file(in_folder(run.check_path, run.path, run.nome_input), "rb");
    if (!input) {
        std::fputs("\nError in file opening", stdout);
        run.console.wait_for_key();
        return true;
    }
    // The rows are numbered from the bottom of the image: y grows upwards.
    std::optional<SegmentTable> Matrice = MOD_caricamento(input.get(), run.height);
    if (!Matrice) {
        std::fputs("\nInternal error in input file", stdout);
        run.console.wait_for_key();
        return true;
    }
    const int seg = Matrice->n_segm;
    std::printf("\nSegment number: %d", seg);
    input.reset();

    run.tip = shape_type_of_segments(*Matrice, seg);
    const RecordArrays records = segment_records(*Matrice, seg, run.tip);
    Matrice.reset();

    run.nome_output_path = in_folder(run.check_path, run.path, run.nome_output);
    ShapefileOptions options;
    options.shape_type = run.tip;
    options.world = run.tfw;
    return gen_file_shp(run.console, run.nome_output_path, records, run.width, run.height, options) == 0;
}

int run_traskel(Traskel& run, int argc, char** argv)
{
    take_arguments(run, argc, argv);
    if (!convert_file(run)) return exit_status::success;
    std::fputs("\n\nEnd", stdout);
    if (!run.check_line_com) run.console.wait_for_key();
    return exit_status::success;
}

}  // namespace

int main(int argc, char** argv)
{
    Traskel run;
    try {
        return run_traskel(run, argc, argv);
    } catch (const InputEnded&) {
        std::fputs(Console::input_ended_message(), stdout);
        return exit_status::input_ended;
    } catch (const std::bad_alloc&) {
        std::fputs("\nError in memory allocation\n", stdout);
        return exit_status::failure;
    }
}
