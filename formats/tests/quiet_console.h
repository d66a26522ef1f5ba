// A console whose standard input is empty: every wait returns at once.
#pragma once

#include "console.h"

#include <cstdio>

struct QuietConsole {
    std::FILE* in = std::tmpfile();
    Console console{in};
    QuietConsole() = default;
    QuietConsole(const QuietConsole&) = delete;
    QuietConsole& operator=(const QuietConsole&) = delete;
    ~QuietConsole() { std::fclose(in); }
};
