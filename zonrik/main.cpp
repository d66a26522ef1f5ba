// Zonrik: zonal statistics of a RAW background inside polygons.
#include "zonrik_run.h"

#include "program_main.h"

int main(int argc, char** argv)
{
    Zonrik run;
    return program_main(argc, argv, zonrik_info(), [&](CommandLine& line) { return run_zonrik(run, line); });
}
