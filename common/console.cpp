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

// Scans the number of `form` at the next answer; an empty result means the
// answer was no number at all, in which case its whole word is consumed.
std::string Console::read_number_text(NumberForm form)
{
    const int first = skip_space();
    if (first == EOF) throw InputEnded();
    unget(first);

    // The console's characters with look-ahead: those looked at and not
    // taken go back to the console when the scan is over.
    class Answer {
    public:
        explicit Answer(Console& console) : console_(console) {}
        ~Answer()
        {
            for (auto it = ahead_.rbegin(); it != ahead_.rend(); ++it) console_.unget(static_cast<unsigned char>(*it));
        }
        int peek(std::size_t ahead = 0)
        {
            while (ahead_.size() <= ahead && !ended_) {
                const int c = console_.get();
                if (c == EOF)
                    ended_ = true;  // asked once: a terminal is not asked again
                else
                    ahead_.push_back(static_cast<char>(c));
            }
            return ahead < ahead_.size() ? static_cast<unsigned char>(ahead_[ahead]) : -1;
        }
        const char* looked_at() const { return ahead_.data(); }
        void advance(std::size_t count = 1) { ahead_.erase(0, count); }

    private:
        Console& console_;
        std::string ahead_;
        bool ended_ = false;
    };

    std::string text;
    {
        Answer answer(*this);
        if (scan_number(answer, form, text)) return text;
    }
    int c = get();
    while (c != EOF && !std::isspace(c)) c = get();
    unget(c);
    return std::string();
}

int Console::read_int()
{
    const std::string text = read_number_text(NumberForm::integer());
    return text.empty() ? 0 : *int_value(text, OutOfRange::clamp);
}

float Console::read_float()
{
    const std::string text = read_number_text(NumberForm::decimal());
    return text.empty() ? 0.0f : float_value(text);
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
    if (waits_) get();
}

const char* Console::input_ended_message()
{
    return "\nError: standard input ended before all answers were given\n";
}
