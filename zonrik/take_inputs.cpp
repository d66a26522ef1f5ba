// The first part of a run: everything read before the shapefile's content.
#include "zonrik_run.h"

#include "arguments.h"
#include "background.h"
#include "function_choice.h"
#include "paths.h"
#include "platform.h"
#include "program_main.h"
#include "raw.h"

#include <cstdio>
#include <vector>

namespace {

void print_banner()
{
    std::printf("\n              * * *  Zonrik  * * *\n\n");
    std::printf("\n                   * * * WARNING * * *\n");
    std::printf("       Shape files should be 'Polygon' typology\n\n");
    std::printf("  \n\n");
    std::printf("    -------------------------------------------------\n\n");
}

std::string prompt_word(Zonrik& run, const char* prompt)
{
    std::fputs(prompt, stdout);
    std::string word = run.console.read_word();
    run.console.flush_input();
    return word;
}

void take_names(Zonrik& run, int argc, char** argv)
{
    if (argc >= 5) {
        run.input_shp = argv[1];
        run.input_back_ground = argv[2];
        run.raw_output = argv[3];
        run.typology = argv[4];
        if (argc >= 6) {
            run.path = join_arguments(argc, argv, 5);
            run.check_path = true;
        }
    } else {
        run.check_line_com = false;
        run.input_shp = prompt_word(run, "\nShape file =");
        run.input_back_ground = prompt_word(run, "\nFile back_ground =");
        run.raw_output = prompt_word(run, "\nFile output (without extension)=");
        run.typology =
            prompt_word(run, "\nFunction (mean - lmean - variance - lvariance - sqrt_variance - c_cover - sp_temp)=");
    }
    run.nome_output_path = run.raw_output;
    run.console.flush_input();
}

// The ENVI header beside a background that has no ".dim" file: the
// background's name with its extension replaced by "hdr", or with ".hdr"
// added. None when neither opens.
std::optional<std::string> envi_header_name(const Zonrik& run)
{
    const std::optional<std::string> names[] = {replace_last_chars(run.input_back_ground, 3, "hdr"),
                                                run.input_back_ground + ".hdr"};
    for (const std::optional<std::string>& name : names) {
        if (name && open_file(run.named(*name), "rb")) return run.named(*name);
    }
    return std::nullopt;
}

StepEnd envi_failure(Zonrik& run, const std::string& name, const EnviHeaderRead& read)
{
    switch (read.status) {
    case EnviHeaderStatus::not_envi: return failure(run, "\nError: '" + name + "' is not an ENVI header\n");
    case EnviHeaderStatus::missing_field: return failure(run, "\nError: '" + name + "' gives no " + read.field + "\n");
    case EnviHeaderStatus::bad_field:
        return failure(run, "\nError: the " + read.field + " in '" + name + "' is not a whole number in its range\n");
    default: return failure(run, "\nError: '" + name + "' cannot be read\n");
    }
}

// The samples checked against the function and read into the background.
StepEnd check_depth(Zonrik& run)
{
    if (run.f_type == function_code::temperature && run.bit_number != 32)
        return failure(run, "\n\n\nError: The function 'sp_temp' foreseen 32 bit background\n"
                            "\nThe Temperature background raw file must be the 4th Avhrr calibrated band\n");
    return {};
}

const char* const short_background = "\nError: the background file ended before all its pixels were read\n";

// A background described by an ENVI header.
StepEnd load_envi_background(Zonrik& run, std::FILE* background, std::uint64_t size, const std::string& name)
{
    const EnviHeaderRead read = read_envi_header(name);
    if (read.status != EnviHeaderStatus::ok) return envi_failure(run, name, read);
    const EnviHeader& header = read.header;
    if (header.bands != 1)
        return failure(run, "\nError: '" + name + "' describes " + std::to_string(header.bands) +
                                " bands; the background must have one\n");
    const int bytes = envi_sample_bytes(header.data_type);
    if (bytes == 0)
        return failure(run, "\nError: data type " + std::to_string(header.data_type) + " in '" + name +
                                "'; the background must be of data type 1 (8 bit), 2 or 12 (16 bit) or 4 (32 bit float)\n");
    run.width = header.samples;
    run.height = header.lines;
    run.bit_number = 8 * bytes;
    print_background_size(size, run.width, run.height);
    print_bit_number(run.bit_number);
    StepEnd end = check_depth(run);
    if (!end.go_on) return end;
    const std::uint64_t needed =
        static_cast<std::uint64_t>(run.width) * static_cast<std::uint64_t>(run.height) * static_cast<std::uint64_t>(bytes);
    if (size < header.header_offset || size - header.header_offset < needed ||
        !read_envi_background(background, header, run.Matrice_background))
        return failure(run, short_background);
    return {};
}

StepEnd load_background_file(Zonrik& run)
{
    std::printf("\nOpening Background image...");
    File background = open_file(run.named(run.input_back_ground), "rb");
    if (!background) return failure(run, "\nError in  opening Background file");
    std::printf(" Ok");
    const auto size = file_size(background.get());

    std::optional<std::string> dim_name = replace_last_chars(run.input_back_ground, 3, "dim");
    if (dim_name) dim_name = run.named(*dim_name);
    if (!dim_name || !open_file(*dim_name, "rb")) {
        if (const std::optional<std::string> header_name = envi_header_name(run)) {
            if (!size) return failure(run, "\nError: the size of the background file cannot be read\n");
            return load_envi_background(run, background.get(), *size, *header_name);
        }
    }
    // The extent from the ".dim" file (its message when there is none).
    if (const RasterProblem problem = read_dim_extent(dim_name, run.width, run.height))
        return failure(run, layout_problem_text(problem));
    if (!size) return failure(run, "\nError: the size of the background file cannot be read\n");
    run.bit_number = background_bit_number(*size, run.width, run.height);
    if (run.bit_number == 0)
        return failure(run, "\nError dimension in background file\n"
                            "\nThe background raw file must be 8 / 16 / 32 bit\n");
    const StepEnd end = check_depth(run);
    if (!end.go_on) return end;
    if (!read_raw_bottom_up(background.get(), run.bit_number, run.width, run.height, run.Matrice_background))
        return failure(run, short_background);
    return {};
}

}  // namespace

const ProgramInfo& zonrik_info()
{
    static const ProgramInfo info = {
        "zonrik",
        "measures a background raster inside the polygons of a polygon shapefile",
        "Usage:\n"
        "  zonrik <polygons.shp> <background> <output> <function> [working folder]\n"
        "  zonrik             (asks for the four names)\n"
        "\n"
        "Functions: mean, variance, sqrt_variance, lmean, lvariance, c_cover, sp_temp.\n"
        "The background is a single-band raster of 8-bit, 16-bit or 32-bit float\n"
        "samples with its extent in a \".dim\" file or, without one, in an ENVI\n"
        "header; a world file (\"rww\") places the polygons on it. A pixel is in a\n"
        "polygon's zone when an odd number of its rings enclose it. Polygons whose\n"
        "box leaves the background are skipped, unless --partial is given.\n"
        "\n"
        "Writes <output>.shp, .shx and .dbf (the zones with their values), <output>.raw\n"
        "and .hdr, and for c_cover and sp_temp a report.\n"
        "\n"
        "Exit status: 255 when a name, the background or a report cannot be used;\n"
        "1 for a wrong option; 2 when standard input ends at a prompt; else 0 (errors\n"
        "in the shapefile included).\n",
        {{"partial", "", "measure a polygon partly outside the background over its pixels inside it"}},
    };
    return info;
}

StepEnd take_inputs(Zonrik& run, int argc, char** argv)
{
    // Options are taken out wherever they stand before the arguments are
    // counted.
    ParsedCommandLine parsed = parse_command_line(argc, argv, zonrik_info().options);
    if (const std::optional<int> status = answer_options(parsed, zonrik_info())) return {false, *status};
    CommandLine& line = parsed.command_line;
    run.partial = line.has("partial");
    print_banner();
    std::vector<char*> arguments = line.argv();
    take_names(run, line.argc(), arguments.data());

    const std::optional<int> code = choose_function(run.typology);
    if (!code)
        return failure(run, "\n\nError: Choice typology not correct"
                            "\n\nAllowed choices: mean / lmean / variance / lvariance / c_cover / sp_temp\n");
    run.f_type = *code;

    File shp = open_file(run.named(run.input_shp), "rb");
    if (!shp) return failure(run, "\nError in input SHP file opening");
    const auto shp_size = file_size(shp.get());
    run.shapefile = std::make_unique<ShapeReader>(std::move(shp), shp_size.value_or(0));

    StepEnd end = load_background_file(run);
    if (!end.go_on) return end;

    // The world file is read twice: silently for the background's extent,
    // then with its message for the shapefile writer.
    const std::optional<std::string> world_name =
        world_file_path(run.check_path, run.path, run.input_back_ground, "rww");
    run.rww = read_world_file(world_name);
    run.tfw = run.rww;
    std::fputs(run.tfw.found ? "\n\nRWW file present\n" : "\n\nRWW file not present\n", stdout);
    return {};
}
