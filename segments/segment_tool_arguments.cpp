#include "segment_tool_arguments.h"

#include "arguments.h"

#include <cstdio>

namespace {

// A prompt's answer; the rest of its line is discarded.
std::string ask_word(Console& console, const char* prompt)
{
    std::fputs(prompt, stdout);
    std::string answer = console.read_word();
    console.flush_input();
    return answer;
}

int ask_int(Console& console, const char* prompt)
{
    std::fputs(prompt, stdout);
    const int answer = console.read_int();
    console.flush_input();
    return answer;
}

}  // namespace

void take_segment_tool_arguments(SegmentToolArguments& arguments, Console& console, int argc, char** argv,
                                 const SizePrompts& prompts)
{
    if (argc >= 5) {
        arguments.nome_input = argv[1];
        arguments.nome_output = argv[2];
        arguments.width = atoi_like(argv[3]);
        arguments.height = atoi_like(argv[4]);
        arguments.check_line_com = true;
        if (argc >= 6) {
            arguments.path = join_arguments(argc, argv, 5);
            arguments.check_path = true;
        }
        return;
    }
    arguments.nome_input = ask_word(console, "\nInput File=");
    arguments.nome_output = ask_word(console, "\nOutput file=");
    arguments.width = ask_int(console, prompts.width);
    arguments.height = ask_int(console, prompts.height);
}

bool image_size_accepted(Console& console, int width, int height)
{
    if (width > 0 && height > 0) return true;
    std::printf("\nError: image width and height must be greater than 0 (%d x %d given)", width, height);
    console.wait_for_key();
    return false;
}
