#include "geo_problem.h"

std::string GeoProblem::message() const
{
    const std::string file = "'" + path + "'";
    const std::string more = detail.empty() ? std::string() : ": " + detail;
    switch (kind) {
    case Kind::none:
        return {};
    case Kind::cannot_open:
        return "cannot open " + file + more;
    case Kind::no_band:
        return path.empty() ? "no raster is open" : file + " holds no raster band";
    case Kind::not_byte:
        return file + ": band 1 is " + detail + ", not Byte";
    case Kind::complex_values:
        return file + ": band 1 is " + detail + ", of complex values";
    case Kind::rotated:
        return file + " is rotated: only north-up rasters are taken";
    case Kind::world_file_short:
        return "the world file " + file + " does not hold six numbers";
    case Kind::unusable_georeferencing:
        return file + ": georeferencing values not all finite, or a cell size of 0";
    case Kind::bad_crs:
        return (path.empty() ? std::string("the coordinate reference system given") : file) + " cannot be read as a CRS" +
               more;
    case Kind::out_of_memory:
        return file + (detail.empty() ? std::string() : " (" + detail + ")") + " does not fit in memory";
    case Kind::read_failed:
        return "cannot read " + file + more;
    case Kind::write_failed:
        return "cannot write " + file + more;
    case Kind::module_unavailable:
        return detail;
    }
    return {};
}
