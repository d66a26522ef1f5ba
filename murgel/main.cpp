// Murgel: cleans a two-valued building mask (8-bit BMP or RAW with ".dim")
// by morphology and writes it as BMP or RAW.
//
//   murgel <input> <raw|bmp> <blob threshold> [working folder]

#include "console.h"
#include "exit_status.h"
#include "murgel_run.h"

#include <cstdio>
#include <new>

int main(int argc, char** argv)
{
    MurgelRun run;
    try {
        return run_murgel(run, argc, argv);
    } catch (const InputEnded&) {
        std::fputs(Console::input_ended_message(), stdout);
        return exit_status::input_ended;
    } catch (const std::bad_alloc&) {
        std::fputs("\nError in memory allocation\n", stdout);
        return exit_status::failure;
    }
}
