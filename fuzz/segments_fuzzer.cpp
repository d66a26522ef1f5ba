// The segments loader MOD_caricamento, in both forms, on one segments file;
// the plain table is then drawn the way Drelwin draws it (disegna).
#include "disegna.h"
#include "file.h"
#include "fuzz_support.h"
#include "segment_loader.h"

namespace {

constexpr int image_width = 61;
constexpr int image_height = 47;

void check_table(const SegmentTable& table)
{
    fuzzing::require(table.fuzzy == 4 || table.fuzzy == 5, "records of neither 4 nor 5 values");
    fuzzing::require(table.n_segm >= 0 && table.n_segm <= table.totale - 20, "fewer than 20 spare rows");
    fuzzing::require(table.Pixel.size() == static_cast<std::size_t>(table.totale) * table.fuzzy,
                     "the table does not hold its rows");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    File file = open_file(fuzzing::write_scratch("segments.txt", data, size), "rb");
    const std::optional<SegmentTable> plain = MOD_caricamento(file.get());
    const std::optional<SegmentTable> flipped = MOD_caricamento(file.get(), image_height);
    fuzzing::require(plain.has_value() == flipped.has_value(), "the two forms disagree on the file");
    if (!plain) return 0;
    check_table(*plain);
    check_table(*flipped);
    fuzzing::require(plain->n_segm == flipped->n_segm, "the two forms read different record counts");

    const Grid<std::uint8_t> Immagine = disegna(*plain, plain->n_segm, image_width, image_height);
    fuzzing::require(Immagine.width() == image_width && Immagine.height() == image_height, "raster of another size");
    return 0;
}
