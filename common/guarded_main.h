// The two ways any program's run can be cut short, turned into its exit:
// standard input ending while a prompt needs an answer, and memory that
// cannot be had for the images in hand.
#pragma once

#include "console.h"
#include "exit_status.h"

#include <cstdio>
#include <new>

// Runs `body` (returning the exit status) and catches both.
template <typename Body>
int guarded_main(Body body, const char* memory_message = "\nError in memory allocation\n",
                 int memory_status = exit_status::failure)
{
    try {
        return body();
    } catch (const InputEnded&) {
        std::fputs(Console::input_ended_message(), stdout);
        return exit_status::input_ended;
    } catch (const std::bad_alloc&) {
        std::fputs(memory_message, stdout);
        return memory_status;
    }
}
