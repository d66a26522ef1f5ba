// A raster matrix: width columns by height rows of one element type, stored
// contiguously row after row and addressed as (x, y), x the column. Which row
// is the top of the picture is the caller's convention; each matrix of the
// suite documents its own.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

#ifdef SUITE_GRID_CHECKS
#include <cstdio>
#include <cstdlib>
#endif

// A raster's size in pixels (`dim`: width, then height).
struct Extent {
    int width = 0;
    int height = 0;
    bool operator==(const Extent& other) const { return width == other.width && height == other.height; }
    bool operator!=(const Extent& other) const { return !(*this == other); }
};

template <typename T>
class Grid {
public:
    Grid() = default;

    // Throws std::bad_alloc when the extent cannot be held in memory
    // (negative extents count as empty).
    Grid(int width, int height, T fill = T{}) { resize(width, height, fill); }

    void resize(int width, int height, T fill = T{})
    {
        if (width < 0) width = 0;
        if (height < 0) height = 0;
        const std::size_t count = checked_count(width, height);
        cells_.assign(count, fill);
        width_ = width;
        height_ = height;
    }

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return cells_.empty(); }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    T& operator()(int x, int y) { return cells_[index(x, y)]; }
    const T& operator()(int x, int y) const { return cells_[index(x, y)]; }

    // Start of row y: elements (0, y) .. (width-1, y) are contiguous.
    T* row(int y) { return cells_.data() + row_offset(y); }
    const T* row(int y) const { return cells_.data() + row_offset(y); }

    void fill(T value) { cells_.assign(cells_.size(), value); }

    std::vector<T>& cells() { return cells_; }
    const std::vector<T>& cells() const { return cells_; }

    bool operator==(const Grid& other) const
    {
        return width_ == other.width_ && height_ == other.height_ && cells_ == other.cells_;
    }
    bool operator!=(const Grid& other) const { return !(*this == other); }

private:
    std::size_t index(int x, int y) const
    {
#ifdef SUITE_GRID_CHECKS
        // An x beyond the width lands in the next row, where no address
        // checker sees it: every (x, y) is checked in the sanitizer builds.
        if (!contains(x, y)) {
            std::fprintf(stderr, "Grid: (%d, %d) outside %d x %d\n", x, y, width_, height_);
            std::abort();
        }
#endif
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }

    std::size_t row_offset(int y) const
    {
#ifdef SUITE_GRID_CHECKS
        if (y < 0 || y > height_) {  // the end of the last row is a valid end pointer
            std::fprintf(stderr, "Grid: row %d outside %d rows\n", y, height_);
            std::abort();
        }
#endif
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    }

    static std::size_t checked_count(int width, int height)
    {
        const std::size_t w = static_cast<std::size_t>(width);
        const std::size_t h = static_cast<std::size_t>(height);
        if (w != 0 && h > static_cast<std::size_t>(-1) / sizeof(T) / w) throw std::bad_alloc();
#ifdef SUITE_GRID_BYTE_LIMIT
        // The fuzz builds run as on a machine of little memory: a larger grid
        // takes the programs' out-of-memory path, as it would there.
        if (w * h * sizeof(T) > static_cast<std::size_t>(SUITE_GRID_BYTE_LIMIT)) throw std::bad_alloc();
#endif
        return w * h;
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<T> cells_;
};
