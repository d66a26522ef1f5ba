// The routines of geo_input.h that read through GDAL, in the shared module
// (the programs reach them through gdal_door.cpp).
#include "geo_input.h"

#include "gdal_raster.h"

namespace {

// Opens the raster and takes its georeferencing over.
GeoProblem open_raster(const std::string& path, GdalRaster& raster, Georeference& georeference)
{
    if (GeoProblem problem = raster.open(path)) return problem;
    WorldFile world;
    if (GeoProblem problem = raster.world_file(world)) return problem;
    georeference.world = world;
    georeference.crs = raster.info().crs_wkt;
    georeference.nodata = raster.info().nodata;
    georeference.through_gdal = true;
    return {};
}

}  // namespace

bool gdal_opens(const std::string& path)
{
    GdalRaster raster;
    return !raster.open(path);
}

GeoProblem describe_through_gdal(const std::string& path, GdalRasterFacts& facts, Georeference& georeference)
{
    GdalRaster raster;
    if (GeoProblem problem = open_raster(path, raster, georeference)) return problem;
    const RasterInfo& info = raster.info();
    facts = {info.driver, info.data_type, info.sample_bits, info.width, info.height, info.nodata, info.files};
    return {};
}

GeoProblem read_bytes_through_gdal(const std::string& path, Grid<std::uint8_t>& values, Georeference& georeference,
                                   ClassMapColours* colours)
{
    GdalRaster raster;
    if (GeoProblem problem = open_raster(path, raster, georeference)) return problem;
    if (colours) *colours = raster.info().colours;
    return raster.read_indices(values);
}

GeoProblem read_floats_through_gdal(const std::string& path, Grid<float>& values, bool nodata_as_nan,
                                    Georeference& georeference)
{
    GdalRaster raster;
    if (GeoProblem problem = open_raster(path, raster, georeference)) return problem;
    return raster.read_values(values, nodata_as_nan ? NodataReading::as_nan : NodataReading::as_value);
}
