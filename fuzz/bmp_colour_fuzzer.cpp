// The colour reader of class maps, bmp_grayscale256_open, on one BMP file.
#include "bmp.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzzing::write_scratch("input.bmp", data, size);
    Grid<std::int32_t> Matrice;
    Extent dim{-1, -1};
    if (bmp_grayscale256_open(path, Matrice, dim)) return 0;
    fuzzing::require(Matrice.width() == dim.width && Matrice.height() == dim.height, "matrix extent differs from dim");
    for (std::int32_t colour : Matrice.cells())
        fuzzing::require(colour >= 0 && colour <= 0xFFFFFF, "a pixel is no packed palette colour");
    return 0;
}
