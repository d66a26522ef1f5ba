// Polvane on a hostile class map: bmp_grayscale256_open, the colour census,
// the class indices and the per-colour loop that traces every blob and
// writes one shapefile per colour (vectorise_image). The BMP reader has a
// target of its own; this one is about the pixels: any number of colours,
// checkerboards, one-pixel blobs, holes and islands, blobs on every edge.
//
// Checked against straightforward forms: the census against a search of
// the columns in order; each colour's records against the tracing on the
// whole work image (kept with the vectoriser's tests), which must leave no
// cell behind; and the records' rings must cover exactly the colour's
// pixels. Maps beyond 64 x 64 pixels are only read: the whole-image tracing
// is slow and the tracing has seen every shape on smaller maps. Maps of more
// than 4 colours go through the census, the class indices and the tracing
// without writing the shapefiles: the three files of each colour cost
// milliseconds under the sanitizers, and the loop over the colours is the
// same whatever their number.
#include "bmp.h"
#include "class_tracing.h"
#include "fuzz_support.h"
#include "platform.h"
#include "polvane.h"
#include "reference_vectoriser.h"

#include <string>
#include <vector>

namespace {

constexpr long long largest_map = 64 * 64;
constexpr std::size_t most_colours_written = 4;

std::string output_name(int k, const char* extension) { return "classes_" + std::to_string(k) + extension; }

// Colours of the previous input that may have left shapefiles behind.
int colours_written = 0;

void remove_outputs()
{
    for (int k = 0; k < colours_written; ++k)
        for (const char* extension : {".shp", ".shx", ".dbf"}) fuzzing::remove_scratch(output_name(k, extension));
    colours_written = 0;
}

void check_class_indices(const PolvaneRun& run, const Grid<std::int32_t>& Matrice)
{
    fuzzing::require(run.classi.width() == Matrice.width() && run.classi.height() == Matrice.height(),
                     "the class indices have another extent");
    if (Matrice.empty()) return;  // its other extent may be huge
    for (int y = 0; y < Matrice.height(); ++y)
        for (int x = 0; x < Matrice.width(); ++x) {
            const std::uint8_t c = run.classi(x, Matrice.height() - 1 - y);
            if (is_grey(Matrice(x, y)))
                fuzzing::require(c == no_class, "a grey pixel has a class");
            else
                fuzzing::require(c < run.colori.size() && run.colori[c] == Matrice(x, y), "a pixel has another class");
        }
}

void check_tracing(const PolvaneRun& run)
{
    const int num_colori = static_cast<int>(run.colori.size());
    ClassTracer tracer(run.classi, no_class, num_colori);
    for (int k = 0; k < num_colori; ++k) {
        std::string leftovers;
        const RecordArrays expected = reference_trace_class(run.classi, k, &leftovers);
        fuzzing::require(leftovers.empty(), "the whole-image tracing left cells behind");
        RecordArrays traced;
        tracer.trace_class(k, traced);
        fuzzing::require(traced.part == expected.part && traced.point == expected.point,
                         "the tracing differs from the whole-image tracing");
        fuzzing::require(even_odd_coverage(traced, run.width, run.height) == class_mask(run.classi, k),
                         "the rings do not cover the colour's pixels");
    }
}

void check_shapefiles(int num_colori)
{
    for (int k = 0; k < num_colori; ++k)
        fuzzing::require(file_size(fuzzing::scratch_path(output_name(k, ".shp"))).has_value(),
                         "a colour's shapefile is missing");
    fuzzing::require(!file_size(fuzzing::scratch_path(output_name(num_colori, ".shp"))),
                     "a shapefile beyond the colours");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input = fuzzing::write_scratch("class_map.bmp", data, size);
    Grid<std::int32_t> Matrice;
    Extent dim;
    if (bmp_grayscale256_open(input, Matrice, dim)) return 0;
    fuzzing::require(Matrice.width() == dim.width && Matrice.height() == dim.height, "the map has another extent");
    if (static_cast<long long>(dim.width) * dim.height > largest_map) return 0;

    std::vector<std::int32_t> expected;
    const bool census_ok = census_by_columns(Matrice, expected, max_colori);
    PolvaneRun run;
    run.console = fuzzing::empty_console();
    if (census_ok && expected.size() > most_colours_written) {
        fuzzing::require(colour_census(Matrice, run.colori, max_colori), "the census refused a map the search of the columns takes");
        run.width = dim.width;
        run.height = dim.height;
        run.classi = class_indices(Matrice, run.colori);
    } else {
        const fuzzing::InScratchFolder in_scratch;
        remove_outputs();
        run.nome_input = "class_map.bmp";
        run.nome_output = "classes";
        const std::optional<int> status = vectorise_image(run);
        colours_written = census_ok ? static_cast<int>(run.colori.size()) : 0;
        if (!census_ok) {
            fuzzing::require(status && *status != 0, "a map of too many colours was not refused");
            fuzzing::require(run.classi.cells().empty(), "a map of too many colours was traced");
            return 0;
        }
        fuzzing::require(!status, "a shapefile could not be written");
        fuzzing::require(!run.outputs.commit(), "the shapefiles could not be put in place");
        check_shapefiles(static_cast<int>(run.colori.size()));
    }
    fuzzing::require(run.colori == expected, "the census differs from the search of the columns");
    check_class_indices(run, Matrice);
    check_tracing(run);
    return 0;
}
