#include "segment_loader.h"

#include "number_reader.h"

#include <algorithm>
#include <climits>
#include <new>
#include <stdexcept>
#include <string>

namespace {

// The first line as a 40-byte line buffer holds it: at most 39 characters,
// ending after a line feed, and, as a C string, at a NUL byte.
constexpr int first_line_limit = 39;

std::string read_first_line(std::FILE* fp)
{
    std::string line;
    while (static_cast<int>(line.size()) < first_line_limit) {
        const int c = std::fgetc(fp);
        if (c == EOF) break;
        line.push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    const std::size_t nul = line.find('\0');
    if (nul != std::string::npos) line.resize(nul);
    return line;
}

// How many numbers the first line holds, counting up to seven.
int values_on_first_line(std::FILE* fp)
{
    NumberReader reader(read_first_line(fp));
    int valori = 0;
    float value;
    while (valori < 7 && reader.read_float(value) == NumberReader::Result::number) ++valori;
    return valori;
}

std::optional<SegmentTable> load(std::FILE* fp, const int* flip_height)
{
    SegmentTable table;
    std::rewind(fp);
    const int valori = values_on_first_line(fp);
    if (valori != 4 && valori != 5) return std::nullopt;
    table.fuzzy = valori;
    std::rewind(fp);

    if (!MOD_espandi(table.Pixel, table.totale, table.fuzzy)) return std::nullopt;

    const float height = flip_height ? static_cast<float>(*flip_height) : 0.0f;
    NumberReader reader(fp);
    int k = 0;
    float value;
    while (reader.read_float(value) == NumberReader::Result::number) {
        if (flip_height && (k & 1)) {
            const float from_top = height - value;  // each step rounded to single
            value = from_top - 1.0f;
        }
        table.Pixel[static_cast<std::size_t>(table.n_segm) * table.fuzzy + k] = value;
        if (++k == table.fuzzy) {
            k = 0;
            ++table.n_segm;
            if (table.n_segm > table.totale - 20 && !MOD_espandi(table.Pixel, table.totale, table.fuzzy))
                return std::nullopt;
        }
    }
    if (k != 0) return std::nullopt;
    return table;
}

}  // namespace

bool MOD_espandi(std::vector<float>& vettore, int& totale, int k)
{
    if (totale > INT_MAX - segment_table_block) return false;
    const std::size_t values = (static_cast<std::size_t>(totale) + segment_table_block) * static_cast<std::size_t>(k);
    try {
        // Capacity doubles, so loading n records costs time linear in n.
        if (vettore.capacity() < values) vettore.reserve(std::max(values, 2 * vettore.capacity()));
        vettore.resize(values, 0.0f);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    totale += segment_table_block;
    return true;
}

std::optional<SegmentTable> MOD_caricamento(std::FILE* fp)
{
    return load(fp, nullptr);
}

std::optional<SegmentTable> MOD_caricamento(std::FILE* fp, int height)
{
    return load(fp, &height);
}
