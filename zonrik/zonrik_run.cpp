// The run as a whole: inputs, zones and outputs, and the two ways a step
// ends it.
#include "zonrik_run.h"

#include "exit_status.h"
#include "paths.h"

#include <cstdio>

std::string Zonrik::named(const std::string& name) const
{
    return in_folder(check_path, path, name);
}

StepEnd closing(Zonrik& run)
{
    if (!run.check_line_com) run.console.wait_for_key();
    return {false, exit_status::success};
}

StepEnd failure(Zonrik& run, const std::string& message)
{
    std::fputs(message.c_str(), stdout);
    run.console.wait_for_key();
    return {false, exit_status::failure};
}

int run_zonrik(Zonrik& run, int argc, char** argv)
{
    StepEnd end = take_inputs(run, argc, argv);
    if (!end.go_on) return end.status;
    end = measure_zones(run);
    if (!end.go_on) return end.status;
    std::printf("\n\nEnd program\n");
    return closing(run).status;
}
