#include "segment_tool_arguments.h"

#include "arguments.h"
#include "file.h"
#include "number_reader.h"
#include "platform.h"

#include <cstdio>

namespace {

// A prompt's answer; the rest of its line is discarded.
std::string ask_word(Console& console, const char* prompt)
{
    std::string answer = console.ask_word(prompt);
    console.flush_input();
    return answer;
}

int ask_int(Console& console, const char* prompt)
{
    const int answer = console.ask_int(prompt);
    console.flush_input();
    return answer;
}

}  // namespace

std::optional<std::string> take_segment_tool_arguments(SegmentToolArguments& arguments, Console& console, int argc,
                                                       char** argv, const SizePrompts& prompts)
{
    if (argc >= 5) {
        arguments.nome_input = argv[1];
        arguments.nome_output = argv[2];
        const auto width = whole_int(argv[3]);
        if (!width) return not_a_whole_number(argv[3], "width");
        const auto height = whole_int(argv[4]);
        if (!height) return not_a_whole_number(argv[4], "height");
        arguments.width = *width;
        arguments.height = *height;
        arguments.from_command_line(argc, argv, 5, console);
        return std::nullopt;
    }
    arguments.nome_input = ask_word(console, "\nInput File=");
    arguments.nome_output = ask_word(console, "\nOutput file=");
    arguments.width = ask_int(console, prompts.width);
    arguments.height = ask_int(console, prompts.height);
    return std::nullopt;
}

std::optional<std::string> image_size_problem(int width, int height)
{
    if (width > 0 && height > 0) return std::nullopt;
    return "\nError: image width and height must be greater than 0 (" + std::to_string(width) + " x " +
           std::to_string(height) + " given)";
}

SegmentsFile read_segments_file(const std::string& path, std::optional<int> flip_height)
{
    SegmentsFile file;
    // Some systems open a folder as a file that reads as empty.
    if (is_directory(path)) return file;
    File input = open_file(path, "rb");
    if (!input) return file;
    file.table = flip_height ? MOD_caricamento(input.get(), *flip_height) : MOD_caricamento(input.get());
    if (std::ferror(input.get())) {
        file.table.reset();
        return file;
    }
    file.readable = true;
    if (!file.table) {
        std::rewind(input.get());
        float value;
        file.blank = NumberReader(input.get()).read_float(value) == NumberReader::Result::end_of_input;
    }
    return file;
}
