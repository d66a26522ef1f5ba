// Zonrik: zonal statistics of a RAW background inside polygons.
#include "zonrik_run.h"

#include "guarded_main.h"

int main(int argc, char** argv)
{
    Zonrik run;
    return guarded_main([&] { return run_zonrik(run, argc, argv); }, "\nError in memory allocation: the background is too large for the memory available\n");
}
