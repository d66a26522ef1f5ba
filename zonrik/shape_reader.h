// Reads a polygon shapefile's main file (".shp") straight through: the main
// header, then the records back to back from offset 100. Only what the zones
// need is kept; the ".shx" and ".dbf" are never opened.
//
// Counts read from the file are checked before anything is read or held for
// them: a record's parts and points must fit its content length and the
// bytes left in the file, and every part must start within its points.
#pragma once

#include "file.h"

#include <array>
#include <cstdint>
#include <vector>

// A record as it stands in the file, coordinates in map units.
struct ShapeRecord {
    std::int32_t number = 0;
    std::array<double, 4> box{};         // Xmin, Ymin, Xmax, Ymax
    std::vector<std::int32_t> parts;     // NumParts start indices
    std::vector<double> points;          // NumPoints X, Y pairs
    std::int32_t numpoints() const { return static_cast<std::int32_t>(points.size() / 2); }
};

enum class ShapeHeader {
    ok,
    not_a_shapefile,  // file code not 9994
    wrong_version,    // not 1000
    not_polygon,      // shape type not 5
    incomplete,       // fewer than 100 bytes
};

enum class ShapeRead {
    record,
    end,                // end of file at a record start
    wrong_index,        // record number not the previous + 1
    not_polygon,        // record shape type not 5
    counts_too_large,   // NumParts or NumPoints negative, or more than the record holds
    part_out_of_range,  // a part start outside 0 .. NumPoints
    incomplete,         // the file ends inside the record
};

class ShapeReader {
public:
    // Takes the open file; `size` is its length in bytes.
    ShapeReader(File file, std::uint64_t size);

    // Checks the main header (file code, version, shape type) and reads its
    // bounding box.
    ShapeHeader read_header(std::array<double, 4>& shp_box);

    // Reads the next record into `record` in two steps:
    // `read_record_number` checks the record's number (`record.number`), the
    // caller announces the block, then `read_record_body` reads the rest.
    ShapeRead read_record_number(ShapeRecord& record);
    ShapeRead read_record_body(ShapeRecord& record);

    // Number of the last record whose number was accepted (`indice`).
    std::int32_t indice() const { return indice_; }

private:
    bool read(void* bytes, std::size_t count);
    std::uint64_t bytes_left() const { return size_ - position_; }

    File file_;
    std::uint64_t size_;
    std::uint64_t position_ = 0;
    std::int32_t indice_ = 0;
};
