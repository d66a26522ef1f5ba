// The whole-image procedure of the vectoriser, written out straightforwardly
// (column loops, a full work image per class), for equivalence tests of the
// windowed tracing; and small helpers to build class maps in tests.
#pragma once

#include "console.h"
#include "grid.h"
#include "record_arrays.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

constexpr std::uint8_t test_no_class = 255;

// A class map from rows of text listed from the top of the picture down:
// '.' no class, '#' or 'a' class 0, 'b' class 1, ... The grid is in mask
// orientation (row 0 the bottom row).
Grid<std::uint8_t> class_map(const std::vector<std::string>& rows_top_down);

// Every blob of `class_index`, traced on the whole work image. When
// `leftovers` is given it receives a description of any cell that a blob
// left behind with a code other than 0 or 1 (none expected).
RecordArrays reference_trace_class(const Grid<std::uint8_t>& classes, int class_index,
                                   std::string* leftovers = nullptr);

// The single-search form on the whole work image: one `evidenzia`, then the
// tracing steps whatever it found, one record.
RecordArrays reference_trace_first_blob(const Grid<std::uint8_t>& classes, int class_index);

// Random class maps of the kinds that stress the tracing: scattered pixels,
// clumps, checkerboard patches, nested rings with holes and islands.
Grid<std::uint8_t> random_class_map(std::mt19937& rng, int width, int height, int classes);

// The rings of each record as lists of vertices.
using Ring = std::vector<std::pair<double, double>>;
std::vector<std::vector<Ring>> records_as_rings(const RecordArrays& records);

// Even-odd coverage of pixel centres by all rings of the records, in mask
// orientation: 1 where covered.
Grid<std::uint8_t> even_odd_coverage(const RecordArrays& records, int width, int height);

// 1 where the class map holds `class_index`, 0 elsewhere.
Grid<std::uint8_t> class_mask(const Grid<std::uint8_t>& classes, int class_index);

// The census of class colours as the columns are read: x outer, y from the
// top row down, each colour looked up in the list so far; false beyond
// `max_colours` colours.
bool census_by_columns(const Grid<std::int32_t>& Matrice, std::vector<std::int32_t>& colori, int max_colours);

// A Console reading the given text as standard input.
struct TestConsole {
    explicit TestConsole(const std::string& input = "");
    ~TestConsole();
    std::FILE* file;
    Console console;
};
