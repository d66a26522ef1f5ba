#include "gdal_raster.h"

#include "spatial_reference.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>
#include <vector>

namespace {

constexpr std::size_t strip_bytes = std::size_t(16) << 20;

GDALRasterBand* first_band(const GdalDataset& dataset)
{
    return dataset ? dataset->GetRasterBand(1) : nullptr;
}

bool is_signed_byte(GDALRasterBand* band)
{
    if (band->GetRasterDataType() != GDT_Byte) return false;
    const char* pixel_type = band->GetMetadataItem("PIXELTYPE", "IMAGE_STRUCTURE");
    return pixel_type && std::strcmp(pixel_type, "SIGNEDBYTE") == 0;
}

std::string type_name(GDALRasterBand* band)
{
    if (is_signed_byte(band)) return "Int8";
    const char* name = GDALGetDataTypeName(band->GetRasterDataType());
    return name ? name : "Unknown";
}

ClassMapColours colour_table_of(GDALRasterBand* band)
{
    ClassMapColours colours;
    const GDALColorTable* table = band->GetColorTable();
    if (!table) return colours;
    colours.has_colour_table = true;
    colours.entry_count = table->GetColorEntryCount();
    const int count = std::min(colours.entry_count, 256);
    for (int i = 0; i < count; ++i) {
        GDALColorEntry rgb{};
        if (table->GetColorEntryAsRGB(i, &rgb))
            colours.packed[static_cast<std::size_t>(i)] = rgb.c1 * 65536 + rgb.c2 * 256 + rgb.c3;
    }
    return colours;
}

// How a band is read: `rows` rows at a time (about strip_bytes of samples),
// in groups of `rows_per_flush` rows (whole rows of blocks) after each of
// which GDAL's block cache is emptied, so that the cache never holds a
// second copy of the image. Blocks smaller than a strip are read several at
// a time; a block taller than a strip is read in parts and decoded once.
struct Strips {
    int rows;
    int rows_per_flush;
};

Strips strips_of(GDALRasterBand* band, const RasterInfo& info, std::size_t sample_bytes)
{
    int block_width = 0, block_height = 0;
    band->GetBlockSize(&block_width, &block_height);
    const std::size_t height = static_cast<std::size_t>(std::max(info.height, 1));
    const std::size_t block_rows = std::min(static_cast<std::size_t>(std::max(block_height, 1)), height);
    const std::size_t row_bytes = static_cast<std::size_t>(std::max(info.width, 1)) * sample_bytes;
    const std::size_t rows = std::clamp<std::size_t>(strip_bytes / row_bytes, 1, height);
    if (block_rows > rows) return {static_cast<int>(rows), static_cast<int>(block_rows)};
    const std::size_t whole_blocks = rows / block_rows * block_rows;
    return {static_cast<int>(whole_blocks), static_cast<int>(whole_blocks)};
}

// Calls read(first_row, row_count) for consecutive strips covering the
// band; the first failure ends it.
template <typename ReadStrip>
GeoProblem for_each_strip(const GdalErrorCapture& capture, GDALRasterBand* band, const RasterInfo& info,
                          const Strips& strips, ReadStrip read)
{
    for (int group_first = 0; group_first < info.height; group_first += strips.rows_per_flush) {
        const int group_end = group_first + std::min(strips.rows_per_flush, info.height - group_first);
        for (int first = group_first; first < group_end; first += strips.rows)
            if (read(first, std::min(strips.rows, group_end - first)) != CE_None)
                return capture.problem(GeoProblem::Kind::read_failed, info.path);
        if (band->FlushCache(false) != CE_None) return capture.problem(GeoProblem::Kind::read_failed, info.path);
    }
    return {};
}

GeoProblem allocation_problem(const RasterInfo& info)
{
    return {GeoProblem::Kind::out_of_memory, info.path,
            std::to_string(info.width) + " x " + std::to_string(info.height) + " pixels"};
}

// A band whose every value a float32 holds exactly: read as Float32 straight
// into the grid, nodata compared as float32 (as GDAL compares it).
bool read_exactly_as_float(GDALRasterBand* band)
{
    switch (band->GetRasterDataType()) {
    case GDT_Byte:
        return !is_signed_byte(band);
    case GDT_UInt16:
    case GDT_Int16:
    case GDT_Float32:
        return true;
    default:
        return false;
    }
}

// The nodata value as a sample of type T, when one of that type equals it.
template <typename T>
std::optional<T> nodata_as(double nodata)
{
    if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(nodata);
    } else {
        // Up to 32-bit types: max + 1 is a power of two a double holds.
        static_assert(sizeof(T) <= 4);
        const double low = static_cast<double>(std::numeric_limits<T>::min());
        const double past_high = static_cast<double>(std::numeric_limits<T>::max()) + 1.0;
        if (!(nodata >= low && nodata < past_high) || std::trunc(nodata) != nodata) return std::nullopt;
        return static_cast<T>(nodata);
    }
}

template <typename T>
bool is_nodata(T sample, T nodata)
{
    if constexpr (std::is_floating_point_v<T>)
        return sample == nodata || (std::isnan(nodata) && std::isnan(sample));
    else
        return sample == nodata;
}

// Bands read through a strip of their own type, then converted: the
// nodata test is made on the samples as stored.
template <typename T>
GeoProblem read_converted(const GdalErrorCapture& capture, GDALRasterBand* band, GDALDataType buffer_type,
                          std::optional<T> nodata, const RasterInfo& info, Grid<float>& values)
{
    const Strips strips = strips_of(band, info, sizeof(T));
    std::vector<T> strip;
    try {
        strip.resize(static_cast<std::size_t>(info.width) * static_cast<std::size_t>(strips.rows));
    } catch (const std::bad_alloc&) {
        return allocation_problem(info);
    }
    const float nan = std::numeric_limits<float>::quiet_NaN();
    return for_each_strip(capture, band, info, strips, [&](int first, int count) {
        const CPLErr status = band->RasterIO(GF_Read, 0, first, info.width, count, strip.data(), info.width, count,
                                             buffer_type, 0, 0, nullptr);
        if (status != CE_None) return status;
        for (int r = 0; r < count; ++r) {
            const T* source = strip.data() + static_cast<std::size_t>(r) * info.width;
            float* target = values.row(first + r);
            for (int x = 0; x < info.width; ++x)
                target[x] = nodata && is_nodata(source[x], *nodata) ? nan : static_cast<float>(source[x]);
        }
        return CE_None;
    });
}

}  // namespace

GeoProblem GdalRaster::open(const std::string& path)
{
    GdalErrorCapture capture;
    dataset_.reset();
    info_ = RasterInfo();
    info_.path = path;
    dataset_.reset(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR));
    if (!dataset_) return capture.problem(GeoProblem::Kind::cannot_open, path);
    info_.band_count = dataset_->GetRasterCount();
    GDALRasterBand* band = first_band(dataset_);
    if (info_.band_count < 1 || !band) {
        dataset_.reset();
        return {GeoProblem::Kind::no_band, path};
    }
    GDALDriver* driver = dataset_->GetDriver();
    info_.driver = driver ? driver->GetDescription() : "";
    info_.width = dataset_->GetRasterXSize();
    info_.height = dataset_->GetRasterYSize();
    info_.data_type = type_name(band);
    info_.sample_bits = GDALGetDataTypeSizeBits(band->GetRasterDataType());
    char** files = dataset_->GetFileList();
    for (char** file = files; file && *file; ++file) info_.files.emplace_back(*file);
    CSLDestroy(files);
    info_.georeferenced = dataset_->GetGeoTransform(info_.geotransform.data()) == CE_None;
    if (!info_.georeferenced) info_.geotransform = {0, 1, 0, 0, 0, 1};
    const OGRSpatialReference* srs = dataset_->GetSpatialRef();
    info_.crs_wkt = srs ? wkt_of(*srs) : std::string();
    int has_nodata = 0;
    double nodata = 0.0;
    if (band->GetRasterDataType() == GDT_Int64)
        nodata = static_cast<double>(band->GetNoDataValueAsInt64(&has_nodata));
    else if (band->GetRasterDataType() == GDT_UInt64)
        nodata = static_cast<double>(band->GetNoDataValueAsUInt64(&has_nodata));
    else
        nodata = band->GetNoDataValue(&has_nodata);
    if (has_nodata) info_.nodata = nodata;
    info_.scale = band->GetScale();
    info_.offset = band->GetOffset();
    info_.colours = colour_table_of(band);
    return {};
}

GeoProblem GdalRaster::world_file(WorldFile& world) const
{
    if (!info_.georeferenced) {
        world = WorldFile();
        return {};
    }
    return world_file_from_geotransform(info_.geotransform, info_.path, world);
}

GeoProblem GdalRaster::read_indices(Grid<std::uint8_t>& indices) const
{
    GdalErrorCapture capture;
    GDALRasterBand* band = first_band(dataset_);
    if (!band) return {GeoProblem::Kind::no_band, ""};
    if (band->GetRasterDataType() != GDT_Byte || is_signed_byte(band))
        return {GeoProblem::Kind::not_byte, info_.path, info_.data_type};
    try {
        indices.resize(info_.width, info_.height);
    } catch (const std::bad_alloc&) {
        return allocation_problem(info_);
    }
    return for_each_strip(capture, band, info_, strips_of(band, info_, 1), [&](int first, int count) {
        return band->RasterIO(GF_Read, 0, first, info_.width, count, indices.row(first), info_.width, count, GDT_Byte,
                              0, 0, nullptr);
    });
}

GeoProblem GdalRaster::read_values(Grid<float>& values, NodataReading nodata) const
{
    GdalErrorCapture capture;
    GDALRasterBand* band = first_band(dataset_);
    if (!band) return {GeoProblem::Kind::no_band, ""};
    const GDALDataType type = band->GetRasterDataType();
    if (GDALDataTypeIsComplex(type) || type == GDT_Unknown)
        return {GeoProblem::Kind::complex_values, info_.path, info_.data_type};
    try {
        values.resize(info_.width, info_.height);
    } catch (const std::bad_alloc&) {
        return allocation_problem(info_);
    }
    const bool to_nan = nodata == NodataReading::as_nan && info_.nodata.has_value();

    if (read_exactly_as_float(band)) {
        const std::optional<float> stored = to_nan ? nodata_as<float>(*info_.nodata) : std::nullopt;
        const float nan = std::numeric_limits<float>::quiet_NaN();
        return for_each_strip(capture, band, info_, strips_of(band, info_, sizeof(float)), [&](int first, int count) {
            const CPLErr status = band->RasterIO(GF_Read, 0, first, info_.width, count, values.row(first), info_.width,
                                                 count, GDT_Float32, 0, 0, nullptr);
            if (status != CE_None || !stored || std::isnan(*stored)) return status;
            for (int r = first; r < first + count; ++r) {
                float* row = values.row(r);
                std::replace(row, row + info_.width, *stored, nan);
            }
            return CE_None;
        });
    }

    const double stored = info_.nodata.value_or(0.0);
    switch (type) {
    case GDT_Byte:  // signed bytes: the stored bytes read as they are
        return read_converted<std::int8_t>(capture, band, GDT_Byte,
                                           to_nan ? nodata_as<std::int8_t>(stored) : std::nullopt, info_, values);
    case GDT_Int32:
        return read_converted<std::int32_t>(capture, band, GDT_Int32,
                                            to_nan ? nodata_as<std::int32_t>(stored) : std::nullopt, info_, values);
    case GDT_UInt32:
        return read_converted<std::uint32_t>(capture, band, GDT_UInt32,
                                             to_nan ? nodata_as<std::uint32_t>(stored) : std::nullopt, info_, values);
    case GDT_Int64: {
        int found = 0;
        const std::int64_t exact = band->GetNoDataValueAsInt64(&found);
        return read_converted<std::int64_t>(capture, band, GDT_Int64,
                                            to_nan && found ? std::optional<std::int64_t>(exact) : std::nullopt, info_,
                                            values);
    }
    case GDT_UInt64: {
        int found = 0;
        const std::uint64_t exact = band->GetNoDataValueAsUInt64(&found);
        return read_converted<std::uint64_t>(capture, band, GDT_UInt64,
                                             to_nan && found ? std::optional<std::uint64_t>(exact) : std::nullopt,
                                             info_, values);
    }
    default:  // Float64, and any later real type, through doubles
        return read_converted<double>(capture, band, GDT_Float64, to_nan ? std::optional<double>(stored) : std::nullopt,
                                      info_, values);
    }
}
