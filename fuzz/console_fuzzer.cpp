// The prompts' input: standard input as a user or a script types it, read
// through Console by the answers the programs ask for, up to its end.
#include "console.h"
#include "file.h"
#include "fuzz_support.h"
#include "stelvar.h"

#include <climits>
#include <cmath>

namespace {

// Every kind of answer in turn, as long as the input lasts. Each round reads
// at least one character or ends the input, so the loop is bounded.
void read_all_kinds(std::FILE* typed)
{
    Console console(typed);
    try {
        for (;;) {
            const std::string word = console.read_word();
            fuzzing::require(!word.empty(), "an empty word");
            console.flush_input();
            console.read_int();
            const float value = console.read_float();
            fuzzing::require(!std::isnan(value), "a number read as NaN");
            const int c = console.read_char();
            fuzzing::require(c >= 0 && c <= UCHAR_MAX, "a character out of range");
            console.wait_for_key();
        }
    } catch (const InputEnded&) {
    }
    // At the end every answer ends the same way, and a wait returns at once.
    console.wait_for_key();
    bool ended = false;
    try {
        console.read_int();
    } catch (const InputEnded&) {
        ended = true;
    }
    fuzzing::require(ended, "an answer after the end of input");
}

// Stelvar's five prompts, its mode question included.
void stelvar_prompts(std::FILE* typed)
{
    StelvarRun run;
    run.console = Console(typed);
    char program[] = "stelvar";
    char* argv[] = {program, nullptr};
    try {
        take_inputs(run, 1, argv);
        fuzzing::require(run.p == 's' || run.p == 'n', "a mode other than s or n");
    } catch (const InputEnded&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzzing::write_scratch("typed.txt", data, size);
    File typed = open_file(path, "rb");
    read_all_kinds(typed.get());
    typed = open_file(path, "rb");
    stelvar_prompts(typed.get());
    return 0;
}
