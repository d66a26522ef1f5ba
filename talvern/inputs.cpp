#include "talvern.h"

#include "arguments.h"

#include <cmath>
#include <cstdio>

namespace {

bool usable_pixel_size(float risoluzione)
{
    return std::isfinite(risoluzione) && risoluzione > 0;
}

std::optional<std::string> take_command_line(TalvernRun& run, int argc, char** argv)
{
    run.nome_input_building = argv[1];
    run.nome_input_shadow = argv[2];
    const auto azimuth = whole_number(argv[3]);
    if (!azimuth) return not_a_number(argv[3], "sun azimuth");
    const auto elevation = whole_number(argv[4]);
    if (!elevation) return not_a_number(argv[4], "sun elevation");
    const auto risoluzione = whole_number(argv[5]);
    if (!risoluzione) return not_a_number(argv[5], "pixel size");
    run.sun_azimuth_angle = static_cast<float>(*azimuth);
    run.sun_elevation_angle = static_cast<float>(*elevation);
    run.risoluzione = static_cast<float>(*risoluzione);
    if (!usable_pixel_size(run.risoluzione))
        return "the pixel size must be a finite number greater than 0 ('" + std::string(argv[5]) + "' given)";
    run.from_command_line(argc, argv, 6, run.console);
    return std::nullopt;
}

}  // namespace

void print_banner()
{
    std::printf("\n              * * *  Talvern  * * *\n\n");
    std::printf("\n                   * * * WARNING * * *\n");
    std::printf("\n     This routine works only with 8 bit Bmp files \n");
    std::printf("\n     The routine generates a BMP grayscale image \n");
    std::printf("\n     Grayscale tonalities are not considered as color\n\n");
    std::printf("  \n\n");
    std::printf("    -------------------------------------------------\n\n");
}

std::optional<std::string> take_inputs(TalvernRun& run, int argc, char** argv)
{
    if (argc >= 6) return take_command_line(run, argc, argv);
    // The rest of each answer's line is discarded.
    Console& console = run.console;
    run.nome_input_building = console.ask_word("\nBuilding Classification =");
    console.flush_input();
    run.nome_input_shadow = console.ask_word("\nShadow Classification =");
    console.flush_input();
    run.sun_azimuth_angle = console.ask_float("\nSun azimuth angle (degree) =");
    console.flush_input();
    run.sun_elevation_angle = console.ask_float("\nSun elevation angle (degree) =");
    console.flush_input();
    for (;;) {
        run.risoluzione = console.ask_float("\nPixel resolution (meters) =");
        console.flush_input();
        if (usable_pixel_size(run.risoluzione)) return std::nullopt;
        std::printf("\nThe pixel size must be greater than 0\n");
    }
}
