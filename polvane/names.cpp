#include "polvane.h"

#include "arguments.h"

#include <cstdio>

void take_names(PolvaneRun& run, int argc, char** argv)
{
    if (argc >= 3) {
        run.nome_input = argv[1];
        run.nome_output = argv[2];
        if (argc >= 4) {
            run.path = join_arguments(argc, argv, 3);
            run.check_path = true;
        }
        return;
    }
    run.check_line_com = false;
    std::printf("\nInput File=");
    run.nome_input = run.console.read_word();
    run.console.flush_input();
    std::printf("\nOutput file=");
    run.nome_output = run.console.read_word();
    run.console.flush_input();
}
