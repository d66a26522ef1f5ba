// Zonrik: zonal statistics of a RAW background inside polygons.
#include "zonrik_run.h"

#include "exit_status.h"
#include "guarded_main.h"
#include "paths.h"

#include <cstdio>
#include <new>

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

namespace {

int run_zonrik(Zonrik& run, int argc, char** argv)
{
    StepEnd end = take_inputs(run, argc, argv);
    if (!end.go_on) return end.status;
    end = measure_zones(run);
    if (!end.go_on) return end.status;
    std::printf("\n\nEnd program\n");
    return closing(run).status;
}

}  // namespace

int main(int argc, char** argv)
{
    Zonrik run;
    return guarded_main([&] { return run_zonrik(run, argc, argv); }, "\nError in memory allocation: the background is too large for the memory available\n");
}
