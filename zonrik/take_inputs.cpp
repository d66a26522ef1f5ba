// The first part of a run: everything read before the shapefile's content.
#include "zonrik_run.h"

#include "arguments.h"
#include "background.h"
#include "exit_status.h"
#include "function_choice.h"
#include "number_text.h"
#include "paths.h"
#include "platform.h"
#include "raw.h"

#include <algorithm>
#include <cstdio>

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
        run.from_command_line(argc, argv, 5, run.console);
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

std::optional<int> envi_failure(Zonrik& run, const std::string& name, const EnviHeaderRead& read)
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
std::optional<int> check_depth(Zonrik& run)
{
    if (run.f_type == function_code::temperature && run.bit_number < 32)
        return failure(run, "\n\n\nError: The function 'sp_temp' foreseen 32 bit background\n"
                            "\nThe Temperature background raw file must be the 4th Avhrr calibrated band\n");
    return {};
}

const char* const short_background = "\nError: the background file ended before all its pixels were read\n";

// A background described by an ENVI header.
std::optional<int> load_envi_background(Zonrik& run, std::FILE* background, std::uint64_t size, const std::string& name)
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
    if (const auto end = check_depth(run)) return end;
    const std::uint64_t needed =
        static_cast<std::uint64_t>(run.width) * static_cast<std::uint64_t>(run.height) * static_cast<std::uint64_t>(bytes);
    if (size < header.header_offset || size - header.header_offset < needed)
        return failure(run, short_background);
    run.sample_layout = header;
    if (run.read_samples && !read_envi_background(background, header, run.Matrice_background))
        return failure(run, short_background);
    return {};
}

// Rows (x, y) and (x, height - 1 - y) swapped: the top row first becomes
// the bottom row first.
void turn_rows_over(Grid<float>& image)
{
    for (int top = 0, bottom = image.height() - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(image.row(top), image.row(top) + image.width(), image.row(bottom));
}

// A background in none of the suite's layouts, through GDAL: band 1 of any
// numeric type as floats, its nodata as NaN (left out by the statistics),
// with the raster's georeferencing and CRS.
std::optional<int> load_gdal_background(Zonrik& run, std::uint64_t size, const std::string& name,
                                        const GdalRasterFacts& facts, const Georeference& described)
{
    run.width = facts.width;
    run.height = facts.height;
    run.bit_number = facts.sample_bits;
    print_background_size(size, run.width, run.height);
    std::printf("\t\t%s raster read through GDAL (%s)", facts.data_type.c_str(), facts.driver.c_str());
    if (facts.nodata) std::printf(", nodata %s taken as NaN", format_number("%g", *facts.nodata).c_str());
    if (const auto end = check_depth(run)) return end;
    Georeference read = described;
    if (run.read_samples)
        if (const GeoProblem problem = read_floats_through_gdal(name, run.Matrice_background, true, read))
            return failure(run, "\nError: " + problem.message() + "\n");
    run.background_files = facts.files;
    // The grid holds the bottom row first. A raster stored south up (rows
    // going north) already has it first: it is placed as the same raster
    // stored north up.
    WorldFile& world = read.world;
    run.gdal_rows_bottom_first = world.complete && world.cell_y() > 0;
    if (run.gdal_rows_bottom_first) {
        world.values[5] = world.northing() + world.cell_y() * run.height;
        world.values[3] = -world.cell_y();
    } else {
        turn_rows_over(run.Matrice_background);
    }
    run.georeference = read;
    return {};
}

std::optional<int> load_background_file(Zonrik& run)
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
        // Neither header: any raster GDAL opens.
        const std::string name = run.named(run.input_back_ground);
        GdalRasterFacts facts;
        Georeference georeference;
        const GeoProblem problem = describe_through_gdal(name, facts, georeference);
        if (!problem) return load_gdal_background(run, size.value_or(0), name, facts, georeference);
        if (problem != GeoProblem::Kind::cannot_open) return failure(run, "\nError: " + problem.message() + "\n");
    }
    // The extent from the ".dim" file (its message when there is none).
    if (const RasterProblem problem = read_dim_extent(dim_name, run.width, run.height))
        return failure(run, layout_problem_text(problem));
    if (!size) return failure(run, "\nError: the size of the background file cannot be read\n");
    run.bit_number = background_bit_number(*size, run.width, run.height);
    if (run.bit_number == 0)
        return failure(run, "\nError dimension in background file\n"
                            "\nThe background raw file must be 8 / 16 / 32 bit\n");
    if (const auto end = check_depth(run)) return end;
    run.sample_layout = raw_sample_layout(run.bit_number, run.width, run.height);
    if (run.read_samples &&
        !read_raw_bottom_up(background.get(), run.bit_number, run.width, run.height, run.Matrice_background))
        return failure(run, short_background);
    return {};
}

// Where the background lies, for the polygons and the outputs: its ".rww"
// first; without a complete one, the georeferencing GDAL read with it, or
// the standard world file beside it. Its CRS from GDAL or the ".prj" beside
// it. The outputs are placed as the polygons are: without rotation terms.
std::optional<int> place_background(Zonrik& run)
{
    const std::string background = run.named(run.input_back_ground);
    for (const std::string& file : georeference_files(background)) run.background_files.push_back(file);
    if (run.rww.complete) run.georeference.world = run.rww;
    if (const GeoProblem problem = complete_georeference(background, run.georeference)) {
        std::printf("\nError: %s\n", problem.message().c_str());
        return closing(run, exit_status::error);
    }
    run.georeference.world.values[1] = run.georeference.world.values[2] = 0;
    if (!run.rww.complete && run.georeference.placed()) run.rww = run.tfw = run.georeference.world;
    run.gis = run.choices.gis || run.georeference.through_gdal;
    return {};
}

}  // namespace

std::optional<int> take_inputs(Zonrik& run, int argc, char** argv)
{
    print_banner();
    take_names(run, argc, argv);

    const std::optional<int> code = choose_function(run.typology);
    if (!code)
        return failure(run, "\n\nError: Choice typology not correct"
                            "\n\nAllowed choices: mean / lmean / variance / lvariance / c_cover / sp_temp\n");
    run.f_type = *code;
    if (const auto end = check_requests(run)) return end;

    File shp = open_file(run.named(run.input_shp), "rb");
    if (!shp) return failure(run, "\nError in input SHP file opening");
    const auto shp_size = file_size(shp.get());
    run.shapefile = std::make_unique<ShapeReader>(std::move(shp), shp_size.value_or(0));

    if (const auto end = load_background_file(run)) return end;

    // The world file is read twice: silently for the background's extent,
    // then with its message for the shapefile writer.
    const std::optional<std::string> world_name =
        world_file_path(run.check_path, run.path, run.input_back_ground, "rww");
    run.rww = read_world_file(world_name);
    run.tfw = run.rww;
    std::fputs(run.tfw.found ? "\n\nRWW file present\n" : "\n\nRWW file not present\n", stdout);
    return place_background(run);
}
