#include "stelvar.h"

#include "arguments.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace {

// The upper threshold is read as a decimal number and truncated toward zero.
int truncated_threshold(const char* text)
{
    const double value = std::trunc(atof_like(text));
    if (!(value >= INT_MIN)) return value != value ? 0 : INT_MIN;
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

}  // namespace

void take_inputs(StelvarRun& run, int argc, char** argv)
{
    if (argc >= 6) {
        run.nome_input = argv[1];
        run.soglia_min = atoi_like(argv[2]);
        run.soglia_max = truncated_threshold(argv[3]);
        run.step = atoi_like(argv[4]);
        run.p = atoi_like(argv[5]) == 1 ? 's' : 'n';
        run.from_command_line(argc, argv, 6);
        return;
    }
    Console& console = run.console;
    std::printf("\nInput file (.bmp)=");
    run.nome_input = console.read_word();
    console.flush_input();
    std::printf("\n\nLower threshold: ");
    run.soglia_min = console.read_int();
    std::printf("\nUpper threshold: ");
    run.soglia_max = console.read_int();
    std::printf("\nStep: ");
    run.step = console.read_int();
    std::printf("\nSogliatura a toni di grigio?(s/n): ");
    run.p = read_mode(console);
}
