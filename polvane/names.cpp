#include "polvane.h"

#include "arguments.h"

#include <cstdio>

void take_names(PolvaneRun& run, int argc, char** argv)
{
    if (argc >= 3) {
        run.nome_input = argv[1];
        run.nome_output = argv[2];
        run.from_command_line(argc, argv, 3);
        return;
    }
    std::printf("\nInput File=");
    run.nome_input = run.console.read_word();
    run.console.flush_input();
    std::printf("\nOutput file=");
    run.nome_output = run.console.read_word();
    run.console.flush_input();
}
