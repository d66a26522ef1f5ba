#include "geotiff_writer.h"

#include "gdal_session.h"
#include "geotransform.h"
#include "spatial_reference.h"

#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <algorithm>

namespace {

constexpr int tile_size = 256;
constexpr std::size_t strip_bytes = std::size_t(16) << 20;

GeoProblem set_georeferencing(const GdalErrorCapture& capture, GDALDataset& dataset,
                              const RasterGeoreferencing& georeferencing, const std::string& path)
{
    if (georeferencing.world.complete) {
        if (!world_file_usable(georeferencing.world)) return {GeoProblem::Kind::unusable_georeferencing, path};
        Geotransform gt = geotransform_from_world_file(georeferencing.world);
        if (dataset.SetGeoTransform(gt.data()) != CE_None) return capture.problem(GeoProblem::Kind::write_failed, path);
    }
    if (!georeferencing.crs_wkt.empty()) {
        OGRSpatialReference srs;
        if (GeoProblem problem = parse_crs(georeferencing.crs_wkt, srs)) return problem;
        if (dataset.SetSpatialRef(&srs) != CE_None) return capture.problem(GeoProblem::Kind::write_failed, path);
    }
    if (georeferencing.nodata && dataset.GetRasterBand(1)->SetNoDataValue(*georeferencing.nodata) != CE_None)
        return capture.problem(GeoProblem::Kind::write_failed, path);
    return {};
}

// Creates the GeoTIFF, lets `fill` set it up and write its band, and closes
// it; on any failure the file is removed and GDAL's text handed back.
template <typename Fill>
GeoProblem write_band(const std::string& path, int width, int height, GDALDataType type, const char* predictor,
                      const RasterGeoreferencing& georeferencing, Fill fill)
{
    GdalErrorCapture capture;
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
    if (!driver) return {GeoProblem::Kind::write_failed, path, "GDAL has no GeoTIFF driver"};
    CPLStringList options;
    options.SetNameValue("TILED", "YES");
    options.SetNameValue("BLOCKXSIZE", std::to_string(tile_size).c_str());
    options.SetNameValue("BLOCKYSIZE", std::to_string(tile_size).c_str());
    options.SetNameValue("COMPRESS", "DEFLATE");
    options.SetNameValue("PREDICTOR", predictor);
    options.SetNameValue("BIGTIFF", "IF_SAFER");
    GeoProblem problem;
    {
        GdalDataset dataset(driver->Create(path.c_str(), width, height, 1, type, options.List()));
        if (!dataset) {
            problem = capture.problem(GeoProblem::Kind::write_failed, path);
        } else {
            problem = set_georeferencing(capture, *dataset, georeferencing, path);
            if (!problem && fill(*dataset->GetRasterBand(1)) != CE_None)
                problem = capture.problem(GeoProblem::Kind::write_failed, path);
        }
    }  // closed here: the last tiles are written
    if (!problem && capture.failed()) problem = capture.problem(GeoProblem::Kind::write_failed, path);
    if (problem) remove_gdal_output(path);
    return problem;
}

// Writes the grid's rows, top of the picture first, in strips of whole
// tile rows, each written out before the next. A bottom-first grid is walked backwards with a negative line
// step, so no row is copied.
template <typename T>
CPLErr write_rows(GDALRasterBand& band, const Grid<T>& grid, RowOrder rows, GDALDataType type)
{
    const int width = grid.width(), height = grid.height();
    const std::size_t row_bytes = static_cast<std::size_t>(std::max(width, 1)) * sizeof(T);
    const int strip = static_cast<int>(
        std::clamp<std::size_t>(strip_bytes / (row_bytes * tile_size), 1, 1 << 20) * tile_size);
    const GSpacing line_step = static_cast<GSpacing>(width) * static_cast<GSpacing>(sizeof(T));
    for (int first = 0; first < height; first += strip) {
        const int count = std::min(strip, height - first);
        const bool top = rows == RowOrder::top_first;
        T* start = const_cast<T*>(grid.row(top ? first : height - 1 - first));
        const CPLErr status = band.RasterIO(GF_Write, 0, first, width, count, start, width, count, type, 0,
                                            top ? line_step : -line_step, nullptr);
        // The strip's tiles are complete: written out and dropped from
        // GDAL's block cache.
        if (status != CE_None || band.FlushCache(false) != CE_None) return CE_Failure;
    }
    return CE_None;
}

}  // namespace

GeoProblem write_geotiff(const std::string& path, const Grid<float>& values, RowOrder rows,
                         const RasterGeoreferencing& georeferencing)
{
    return write_band(path, values.width(), values.height(), GDT_Float32, "3", georeferencing,
                      [&](GDALRasterBand& band) { return write_rows(band, values, rows, GDT_Float32); });
}

GeoProblem write_geotiff(const std::string& path, const Grid<std::uint8_t>& indices, RowOrder rows,
                         const std::array<std::uint8_t, 1024>& palette, const RasterGeoreferencing& georeferencing)
{
    return write_band(path, indices.width(), indices.height(), GDT_Byte, "1", georeferencing,
                      [&](GDALRasterBand& band) {
                          GDALColorTable table;
                          for (int i = 0; i < 256; ++i) {
                              const GDALColorEntry entry{static_cast<short>(palette[4 * i + 2]),
                                                         static_cast<short>(palette[4 * i + 1]),
                                                         static_cast<short>(palette[4 * i]), 255};
                              table.SetColorEntry(i, &entry);
                          }
                          if (band.SetColorTable(&table) != CE_None) return CE_Failure;
                          return write_rows(band, indices, rows, GDT_Byte);
                      });
}
