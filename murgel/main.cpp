// Murgel: cleans a two-valued building mask (8-bit BMP or RAW with ".dim")
// by morphology and writes it as BMP or RAW.
//
//   murgel <input> <raw|bmp> <blob threshold> [working folder]

#include "guarded_main.h"
#include "murgel_run.h"

int main(int argc, char** argv)
{
    MurgelRun run;
    return guarded_main([&] { return run_murgel(run, argc, argv); });
}
