// The polygon records of one tile's shapefile, read one at a time and moved
// into whole-mosaic pixel units.
#pragma once

#include "file.h"
#include "rings.h"

#include <cstdint>
#include <string>
#include <vector>

class TileShapes {
public:
    // `dx`, `dy`: the tile's lower-left corner in the mosaic (pixel units).
    TileShapes(const std::string& shp_path, int dx, int dy);

    bool opened() const { return file_ != nullptr; }
    // Byte offset of the next record; the end of the file when none is left.
    std::int64_t next() const { return next_; }
    bool at_end() const { return next_ >= size_; }

    // Reads the record at `offset` (the next one when -1) into `rings`;
    // false when the file does not hold a polygon record there.
    bool read(std::vector<EdgeRing>& rings, std::int64_t offset = -1);

private:
    File file_;
    int dx_, dy_;
    std::int64_t size_ = 0;
    std::int64_t next_ = 100;
    std::vector<unsigned char> buffer_;
};
