// Why georeferenced data could not be read or written. The routines that
// read and write rasters, vectors, world files and CRS through GDAL hand one
// back and print nothing; the programs word it (message() is a plain
// wording for those that have none of their own).
#pragma once

#include <string>
#include <utility>

struct GeoProblem {
    enum class Kind {
        none,
        cannot_open,              // missing, unreadable, or in no format GDAL reads
        no_band,                  // a dataset without a raster band (no path: nothing is open)
        not_byte,                 // an 8-bit input whose band 1 is of another type (`detail`)
        complex_values,           // a band of complex values (`detail` the type)
        rotated,                  // rotation terms that are not 0
        world_file_short,         // a world file with fewer than six numbers
        unusable_georeferencing,  // values not all finite, or a cell size of 0
        bad_crs,                  // a CRS that cannot be read (no path: a CRS text given)
        out_of_memory,            // `detail` the raster's size
        read_failed,
        write_failed,
        module_unavailable,       // the GDAL module (`path`) cannot be loaded; `detail` says why
    };
    Kind kind = Kind::none;
    std::string path;    // the file it is about
    std::string detail;  // GDAL's own text, or what the kind says

    GeoProblem() = default;
    GeoProblem(Kind k, std::string file, std::string more = {})
        : kind(k), path(std::move(file)), detail(std::move(more))
    {
    }
    explicit operator bool() const { return kind != Kind::none; }
    bool operator==(Kind k) const { return kind == k; }
    bool operator!=(Kind k) const { return kind != k; }

    // One line, without line ends, naming the file, what went wrong and
    // GDAL's text.
    std::string message() const;

    // GDAL's text alone when there is one, else message(): the reason that
    // follows a file the caller names itself.
    std::string reason() const { return detail.empty() ? message() : detail; }
};
