// Kestrom: intersects the lines of segment pairs and lists the crossings
// that stand at least 3 height units above the terrain around them.

#include "arguments.h"
#include "console.h"
#include "crossing_geometry.h"
#include "crossing_height.h"
#include "exit_status.h"
#include "file.h"
#include "number_reader.h"
#include "paths.h"
#include "raw.h"

#include <cstdio>
#include <new>
#include <string>

namespace {

struct Kestrom {
    Console console;
    std::string nome_input_cross;
    std::string nome_input_dtm;  // base name, without extension
    std::string path;            // working folder
    bool check_path = false;
    bool check_line_com = false;
    int width = 0;
    int height = 0;
    Grid<float> Dtm;  // row 0 the first row of the file
};

void print_banner()
{
    std::puts("\n              * * *  Kestrom  * * *\n");
    std::puts("\n                   * * * WARNING * * *");
    std::puts("\n     This routine works only with ascii file and floating point Raw files 32 bit\n");
    std::puts("       Raw files should have 'dim' header with image dimension\n");
    std::puts("  \n");
    std::puts("    -------------------------------------------------\n");
}

void take_arguments(Kestrom& run, int argc, char** argv)
{
    if (argc >= 3) {
        run.nome_input_cross = argv[1];
        run.nome_input_dtm = argv[2];
        run.check_line_com = true;
        if (argc >= 4) {
            run.path = join_arguments(argc, argv, 3);
            run.check_path = true;
        }
        return;
    }
    std::fputs("Input file crossroads (ascii file): ", stdout);
    run.nome_input_cross = run.console.read_word();
    std::fputs("\nInput file dtm (without extension): ", stdout);
    run.nome_input_dtm = run.console.read_word();
}

std::string named(const Kestrom& run, const std::string& name)
{
    return in_folder(run.check_path, run.path, name);
}

// The DTM extent from its ".dim" file, or from the user.
void take_dimensions(Kestrom& run)
{
    if (read_dim_file(named(run, run.nome_input_dtm + ".dim"), run.width, run.height)) return;
    std::fputs("\nError opening dtm dimension file (.dim)", stdout);
    std::fputs("\n\nEnter dimension:\n", stdout);
    std::fputs("\nwidth: ", stdout);
    run.width = run.console.read_int();
    std::fputs("\nheight: ", stdout);
    run.height = run.console.read_int();
}

// Prints a failure, waits for a key and gives the failure status.
int fail(Kestrom& run, const std::string& message)
{
    std::fputs(message.c_str(), stdout);
    run.console.wait_for_key();
    return exit_status::failure;
}

// Evaluates one record; writes its line when the crossing stands out.
void evaluate_record(const Kestrom& run, const float* v, std::FILE* output)
{
    float x_float = 0, y_float = 0;
    if (MOD_intersezione_rette(&x_float, &y_float, v) == 1) {
        std::fputs("\nWarning: parallel segments found", stdout);
        return;
    }
    // Truncation toward zero keeps (-1, 0) in column or row 0.
    if (!(x_float > -1.0f && static_cast<double>(x_float) < run.width)) return;
    if (!(y_float > -1.0f && static_cast<double>(y_float) < run.height)) return;
    const int x = static_cast<int>(x_float);
    const int y = static_cast<int>(y_float);

    const float k = peak_around(run.Dtm, x, y);
    const float orizz = row_mean(run.Dtm, x, y);
    const float vert = column_mean(run.Dtm, x, y);
    const float above_row = k - orizz;
    const float above_column = k - vert;
    if (above_row >= crossover_threshold || above_column >= crossover_threshold) {
        const float excess = above_row > above_column ? above_row : above_column;
        std::fprintf(output, "%d\t%d\t%.2f\n", x, y, excess);
        std::printf("%d\t%d\t%.2f\n", x, y, excess);
    }
}

// Reads the records of 8 numbers up to the end of the file or the first
// token that is not a number. An incomplete last record is left out.
void evaluate_crossroads(const Kestrom& run, std::FILE* crossroads, std::FILE* output)
{
    NumberReader reader(crossroads);
    float v[crossing_record_values];
    for (;;) {
        int n = 0;
        NumberReader::Result result = NumberReader::Result::number;
        while (n < crossing_record_values && (result = reader.read_float(v[n])) == NumberReader::Result::number) ++n;
        if (n == crossing_record_values) {
            evaluate_record(run, v, output);
            continue;
        }
        if (result == NumberReader::Result::not_a_number)
            std::fputs("\nWarning: the crossroads file holds text that is not a number; reading stops there",
                       stdout);
        if (n > 0) std::printf("\nWarning: the last record holds only %d of 8 numbers and is ignored", n);
        return;
    }
}

int run_kestrom(Kestrom& run, int argc, char** argv)
{
    print_banner();
    take_arguments(run, argc, argv);
    take_dimensions(run);

    const std::string dtm_name = named(run, run.nome_input_dtm + ".raw");
    if (!open_file(dtm_name, "rb")) return fail(run, "\nError in opening dtm file");
    if (raw_32bit_open(dtm_name, run.Dtm, run.width, run.height) == 1) return fail(run, "\nError in reading dtm file");

    const std::string output_name = named(run, "crossover_" + run.nome_input_cross);
    File output = open_file(output_name, "wb");
    if (!output) return fail(run, "\nError in opening crossover.txt file");
    File crossroads = open_file(named(run, run.nome_input_cross), "rb");
    if (!crossroads) return fail(run, "\nError in opening crossroads file");

    evaluate_crossroads(run, crossroads.get(), output.get());

    run.Dtm = Grid<float>();
    crossroads.reset();
    if (!close_written_file(output)) return fail(run, "\nError: cannot write '" + output_name + "'");
    std::fputs("\nEnd", stdout);
    if (!run.check_line_com) run.console.wait_for_key();
    return exit_status::success;
}

}  // namespace

int main(int argc, char** argv)
{
    Kestrom run;
    try {
        return run_kestrom(run, argc, argv);
    } catch (const InputEnded&) {
        std::fputs(Console::input_ended_message(), stdout);
        return exit_status::input_ended;
    } catch (const std::bad_alloc&) {
        std::fputs("\nError in memory allocation\n", stdout);
        return exit_status::failure;
    }
}
