// Why georeferenced data could not be read or written. The routines that
// read and write rasters, vectors, world files and CRS hand one back and
// print nothing; the programs word and print it.
#pragma once

#include <string>
#include <utility>

enum class GeoProblemKind {
    none,
    cannot_open,         // missing, unreadable, or in no format GDAL reads
    no_band,             // a dataset without a raster band
    data_type,           // a band type the reader does not take (the message names it)
    rotated,             // rotation terms that are not 0
    bad_georeferencing,  // values not all finite, a cell size of 0, fewer than six numbers
    bad_crs,             // a CRS text that cannot be read
    out_of_memory,
    read_failed,
    write_failed,
};

struct GeoProblem {
    GeoProblemKind kind = GeoProblemKind::none;
    std::string message;  // one line, no line end; GDAL's own text where it gave one

    explicit operator bool() const { return kind != GeoProblemKind::none; }
};

inline GeoProblem geo_problem(GeoProblemKind kind, std::string message)
{
    return GeoProblem{kind, std::move(message)};
}
