// Murgel: cleans a two-valued building mask (8-bit BMP or RAW with ".dim")
// by morphology and writes it as BMP or RAW.
//
//   murgel <input> <raw|bmp> <blob threshold> [working folder]

#include "console.h"
#include "exit_status.h"
#include "guarded_main.h"
#include "murgel_run.h"

#include <cstdio>
#include <new>

int main(int argc, char** argv)
{
    MurgelRun run;
    return guarded_main([&] { return run_murgel(run, argc, argv); });
}
