// Answers typed at the programs' prompts, read from standard input the way the
// prompts ask for them: a word ("%255s" without the length limit), a decimal
// integer ("%d") or a decimal number ("%f"). Works the same on a terminal and
// on a pipe.
#pragma once

#include "number_scanner.h"

#include <cstdio>
#include <stdexcept>
#include <string>

// Standard input ended while a prompt still needed an answer.
class InputEnded : public std::runtime_error {
public:
    InputEnded() : std::runtime_error("standard input ended before all answers were given") {}
};

class Console {
public:
    explicit Console(std::FILE* in = stdin) : in_(in) {}

    // A white-space delimited word. Throws InputEnded at end of input.
    std::string read_word();

    // A decimal integer with optional sign; the character after it stays
    // pending. An answer that is not a number reads as 0 and its word is
    // consumed. Values beyond the int range are clamped. Throws InputEnded.
    int read_int();

    // A decimal number (sign, digits, point, exponent), rounded to float as
    // "%f" does; otherwise as read_int.
    float read_float();

    // Prints `prompt` and reads a word (read_word).
    std::string ask_word(const std::string& prompt);

    // Prints `prompt` and reads a word that must be wholly a decimal integer
    // (whole_int of arguments.h) or number (whole_number, rounded to float);
    // any other answer is consumed, its reason printed on a line of its own
    // ("\n'0,25' is not a number\n") and the prompt printed again. Throws
    // InputEnded.
    int ask_int(const std::string& prompt);
    float ask_float(const std::string& prompt);

    // One character, white space included. Throws InputEnded at end of input.
    int read_char();

    // Discards the rest of the current input line. Does nothing when nothing
    // of the current line has been read yet.
    void flush_input();

    // Reads one character; end of input returns at once. Returns at once
    // too after never_wait().
    void wait_for_key();

    // A run whose inputs came from its command line never waits for a
    // person: its messages stand without a pause.
    void never_wait() { waits_ = false; }

    // The text shown when InputEnded ends a program.
    static const char* input_ended_message();

private:
    int get();
    void unget(int c);
    int skip_space();  // first non-blank character, or EOF
    std::string read_number_text(NumberForm form);

    std::FILE* in_;
    std::string pending_;  // characters read ahead and put back, last one first
    int last_ = '\n';      // last character consumed; a newline at start
    bool waits_ = true;
};
