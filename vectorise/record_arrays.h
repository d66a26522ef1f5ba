// The record arrays `part` and `point`: vector records on their way to the
// shapefile writer (gen_file_shp in shapefile_writer.h).
//
// `part` holds one record after another, each
//     [NumParts n, NumPoints m, start of part 0 (always 0), ..., start of
//      part n-1, -3000]
// where the starts count vertices within the record. `point` holds the m
// vertices of each record in turn as x, y pairs of doubles, in pixel units
// with the origin at the lower-left corner of the image and y upwards.
// Records are written in the order they stand here, parts and vertices too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

constexpr std::int32_t record_end_mark = -3000;

struct RecordArrays {
    std::vector<std::int32_t> part;
    std::vector<double> point;

    // Elements used (the names the tracing and writing code speak of).
    std::size_t integer() const { return part.size(); }
    std::size_t doub() const { return point.size(); }

    // Appends one record whose parts are given as lists of (x, y) vertices
    // (a polyline of two vertices, a closed ring of five, ...).
    void append_record(const std::vector<std::vector<std::pair<double, double>>>& parts);

    // Number of records held.
    std::size_t record_count() const { return record_layouts().size(); }

    // Where each record stands, found the way the writer reads the arrays: at
    // a record start n and then m; every later int is skipped up to the -3000
    // that ends the record. Throws std::invalid_argument for arrays that do
    // not hold whole records (negative counts, fewer part starts than n,
    // starts that do not begin at 0 and ascend within the record, a record
    // without its end mark, vertices missing from `point`).
    struct Layout {
        std::size_t part_index;   // index of NumParts in `part`
        std::size_t point_index;  // index of the record's first x in `point`
        std::int32_t parts;       // n
        std::int32_t points;      // m
    };
    std::vector<Layout> record_layouts() const;

    void clear()
    {
        part.clear();
        point.clear();
    }
};
