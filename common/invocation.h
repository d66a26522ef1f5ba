// How a program was started: from its command line or from prompts, and
// with or without a working folder. Every program's run state begins with it.
#pragma once

#include "arguments.h"
#include "console.h"
#include "paths.h"

#include <string>

struct Invocation {
    std::string path;             // working folder
    bool check_path = false;      // a working folder was given
    bool check_line_com = false;  // the inputs came from the command line: no wait for a key at the end

    // A file name as opened: inside the working folder when one was given.
    std::string named(const std::string& name) const { return in_folder(check_path, path, name); }

    // The inputs came from the command line; the words from `first` on, when
    // there are any, are the working folder (a folder whose name holds blanks
    // arrives split over several words, joined back with single blanks). The
    // run's `console` then never waits for a person.
    void from_command_line(int argc, char** argv, int first, Console& console)
    {
        check_line_com = true;
        console.never_wait();
        if (argc > first) {
            path = join_arguments(argc, argv, first);
            check_path = true;
        }
    }
};
