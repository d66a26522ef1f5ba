#include "stelvar.h"

#include "arguments.h"
#include "exit_status.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace {

// The upper threshold is a decimal number truncated toward zero.
int truncated_threshold(double number)
{
    const double value = std::trunc(number);
    if (value < INT_MIN) return INT_MIN;
    if (value > INT_MAX) return INT_MAX;
    return static_cast<int>(value);
}

// Reads characters until "s" (grey-tone) or "n" (binary), complaining about
// every other character, the end of line after a wrong letter included.
char read_mode(Console& console)
{
    console.read_char();  // the end of the step's line
    for (;;) {
        const int c = console.read_char();
        if (c == 's' || c == 'n') return static_cast<char>(c);
        std::printf("\nSimbol error");
    }
}

int refuse(const std::string& reason)
{
    std::printf("\nError: %s\n", reason.c_str());
    return exit_status::error;
}

}  // namespace

std::optional<int> take_inputs(StelvarRun& run, int argc, char** argv)
{
    if (argc >= 6) {
        run.nome_input = argv[1];
        const auto lower = whole_int(argv[2]);
        if (!lower) return refuse(not_a_whole_number(argv[2], "lower threshold"));
        const auto upper = whole_number(argv[3]);
        if (!upper) return refuse(not_a_number(argv[3], "upper threshold"));
        const auto step = whole_int(argv[4]);
        if (!step) return refuse(not_a_whole_number(argv[4], "step"));
        const auto mode = whole_int(argv[5]);
        if (!mode) return refuse(not_a_whole_number(argv[5], "mode"));
        run.soglia_min = *lower;
        run.soglia_max = truncated_threshold(*upper);
        run.step = *step;
        run.p = *mode == 1 ? 's' : 'n';
        run.from_command_line(argc, argv, 6, run.console);
        return std::nullopt;
    }
    Console& console = run.console;
    run.nome_input = console.ask_word("\nInput file (.bmp)=");
    console.flush_input();
    run.soglia_min = console.ask_int("\n\nLower threshold: ");
    run.soglia_max = console.ask_int("\nUpper threshold: ");
    run.step = console.ask_int("\nStep: ");
    std::printf("\nSogliatura a toni di grigio?(s/n): ");
    run.p = read_mode(console);
    return std::nullopt;
}
