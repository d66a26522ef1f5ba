// A zone's background values cut by tiles, and put back together in the
// zone's order.
//
// A tile's job writes, for every measured zone with pixels in its tile, a
// piece: the zone's number (the measured zones counted from 0 in the order
// of the run), the number of its pixels in the tile and their background
// values in zone order (row by row from the bottom, left to right) as
// 32-bit floats in the machine's byte order. The pixels of a zone that lie
// in one tile keep their zone order, so the zone's whole sequence comes
// back by walking its pixels in zone order and taking for each the next
// value of its tile's piece: every sum over it is then taken in the order
// of one run, to the bit.
#pragma once

#include "file.h"

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// Pieces that do not fit the zones: a tile's file that is missing, cut
// short, or holds other zones or other counts than the merge finds.
struct PieceError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Writes a tile's pieces, zone after zone.
class PieceWriter {
public:
    explicit PieceWriter(const std::string& path);
    void write(std::int64_t zone, const std::vector<float>& values);
    // Closes the file; false when it could not be written whole.
    bool finish();

private:
    File file_;
    bool good_;
};

// Reads a tile's pieces in order.
class PieceReader {
public:
    explicit PieceReader(const std::string& path);
    // The piece of `zone`, which must be the next one in the file.
    void take(std::int64_t zone, std::vector<float>& values);

private:
    std::string path_;
    File file_;
    std::int64_t next_zone_ = -1;  // the zone of the next piece; -1 at the end
    std::int64_t next_count_ = 0;
    void read_header();
};

// The values of a zone's pixels in zone order from the pieces of its tiles:
// pixel i takes the next value of the piece of tile tile_of_pixel[i]. False
// when a piece is missing, too short or not used up.
bool interleave_pieces(const std::vector<std::int64_t>& tile_of_pixel,
                       const std::map<std::int64_t, std::vector<float>>& pieces, std::vector<float>& values);
