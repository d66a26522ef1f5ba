#include "talvern.h"

#include "arguments.h"

#include <cstdio>

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

void take_inputs(TalvernRun& run, int argc, char** argv)
{
    if (argc >= 6) {
        run.nome_input_building = argv[1];
        run.nome_input_shadow = argv[2];
        run.sun_azimuth_angle = static_cast<float>(atof_like(argv[3]));
        run.sun_elevation_angle = static_cast<float>(atof_like(argv[4]));
        run.risoluzione = static_cast<float>(atof_like(argv[5]));
        run.from_command_line(argc, argv, 6);
        return;
    }
    Console& console = run.console;
    std::printf("\nBuilding Classification =");
    run.nome_input_building = console.read_word();
    console.flush_input();
    std::printf("\nShadow Classification =");
    run.nome_input_shadow = console.read_word();
    console.flush_input();
    std::printf("\nSun azimuth angle (degree) =");
    run.sun_azimuth_angle = console.read_float();
    console.flush_input();
    std::printf("\nSun elevation angle (degree) =");
    run.sun_elevation_angle = console.read_float();
    console.flush_input();
    std::printf("\nPixel resolution (meters) =");
    run.risoluzione = console.read_float();
    console.flush_input();
}
