#include "console.h"

#include "arguments.h"

#include <cctype>
#include <cstdlib>

int Console::get()
{
    int c;
    if (!pending_.empty()) {
        c = static_cast<unsigned char>(pending_.back());
        pending_.pop_back();
    } else {
        std::fflush(stdout);  // the prompt must be visible before we wait
        c = std::fgetc(in_);
    }
    if (c != EOF) last_ = c;
    return c;
}

void Console::unget(int c)
{
    if (c == EOF) return;
    pending_.push_back(static_cast<char>(c));
    // What was consumed before the pushed-back character is unknown here;
    // the callers only unget right after a read, so the previous state is
    // the character before it, which is never needed: a pending character
    // means "something of this line was read".
}

int Console::skip_space()
{
    int c = get();
    while (c != EOF && std::isspace(c)) c = get();
    return c;
}

std::string Console::read_word()
{
    int c = skip_space();
    if (c == EOF) throw InputEnded();
    std::string word;
    while (c != EOF && !std::isspace(c)) {
        word.push_back(static_cast<char>(c));
        c = get();
    }
    unget(c);
    return word;
}

// Collects the longest prefix that forms a number; an empty result means the
// answer was no number at all, in which case its whole word is consumed.
std::string Console::read_number_text(bool allow_fraction)
{
    int c = skip_space();
    if (c == EOF) throw InputEnded();
    std::string text;
    if (c == '+' || c == '-') {
        text.push_back(static_cast<char>(c));
        c = get();
    }
    bool digits = false;
    while (c != EOF && std::isdigit(c)) {
        text.push_back(static_cast<char>(c));
        digits = true;
        c = get();
    }
    if (allow_fraction && c == '.') {
        text.push_back('.');
        c = get();
        while (c != EOF && std::isdigit(c)) {
            text.push_back(static_cast<char>(c));
            digits = true;
            c = get();
        }
    }
    if (allow_fraction && digits && (c == 'e' || c == 'E')) {
        std::string exponent(1, static_cast<char>(c));
        int d = get();
        if (d == '+' || d == '-') {
            exponent.push_back(static_cast<char>(d));
            d = get();
        }
        if (d != EOF && std::isdigit(d)) {
            while (d != EOF && std::isdigit(d)) {
                exponent.push_back(static_cast<char>(d));
                d = get();
            }
            text += exponent;
            c = d;
        } else {
            // Not an exponent after all: put back what was looked at.
            unget(d);
            for (auto it = exponent.rbegin(); it != exponent.rend(); ++it) unget(static_cast<unsigned char>(*it));
            c = get();
        }
    }
    if (!digits) {
        while (c != EOF && !std::isspace(c)) c = get();
        unget(c);
        return std::string();
    }
    unget(c);
    return text;
}

int Console::read_int()
{
    return atoi_like(read_number_text(false).c_str());
}

float Console::read_float()
{
    const std::string text = read_number_text(true);
    if (text.empty()) return 0.0f;
    return std::strtof(text.c_str(), nullptr);
}

std::string Console::ask_word(const std::string& prompt)
{
    std::fputs(prompt.c_str(), stdout);
    return read_word();
}

int Console::ask_int(const std::string& prompt)
{
    for (;;) {
        std::fputs(prompt.c_str(), stdout);
        const std::string answer = read_word();
        if (const auto value = whole_int(answer)) return *value;
        std::printf("\n'%s' is not a whole number\n", answer.c_str());
    }
}

float Console::ask_float(const std::string& prompt)
{
    for (;;) {
        std::fputs(prompt.c_str(), stdout);
        const std::string answer = read_word();
        if (whole_number(answer)) return std::strtof(answer.c_str(), nullptr);
        std::printf("\n'%s' is not a number\n", answer.c_str());
    }
}

int Console::read_char()
{
    const int c = get();
    if (c == EOF) throw InputEnded();
    return c;
}

void Console::flush_input()
{
    if (pending_.empty() && last_ == '\n') return;
    int c = get();
    while (c != EOF && c != '\n') c = get();
}

void Console::wait_for_key()
{
    get();
}

const char* Console::input_ended_message()
{
    return "\nError: standard input ended before all answers were given\n";
}
