#include "gdal_test_rasters.h"

#include "gdal_session.h"

#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <stdexcept>

namespace gdaltest {

void create_raster(const std::string& path, const RasterContents& contents)
{
    register_gdal_drivers();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(contents.driver.c_str());
    if (!driver) throw std::runtime_error("no driver " + contents.driver);
    CPLStringList options;
    for (const std::string& option : contents.options) options.AddString(option.c_str());
    GdalDataset dataset(driver->Create(path.c_str(), contents.width, contents.height, 1, contents.type, options.List()));
    if (!dataset) throw std::runtime_error("cannot create " + path);
    if (contents.geotransform) {
        Geotransform gt = *contents.geotransform;
        dataset->SetGeoTransform(gt.data());
    }
    if (contents.epsg) {
        OGRSpatialReference srs;
        srs.importFromEPSG(contents.epsg);
        dataset->SetSpatialRef(&srs);
    }
    GDALRasterBand* band = dataset->GetRasterBand(1);
    if (contents.nodata) band->SetNoDataValue(*contents.nodata);
    if (!contents.colour_table.empty()) {
        GDALColorTable table;
        for (std::size_t i = 0; i < contents.colour_table.size(); ++i) {
            const GDALColorEntry entry{contents.colour_table[i][0], contents.colour_table[i][1], contents.colour_table[i][2], 255};
            table.SetColorEntry(static_cast<int>(i), &entry);
        }
        band->SetColorTable(&table);
    }
    std::vector<double> values = contents.values;
    if (values.size() != static_cast<std::size_t>(contents.width) * static_cast<std::size_t>(contents.height))
        throw std::runtime_error("wrong sample count");
    if (band->RasterIO(GF_Write, 0, 0, contents.width, contents.height, values.data(), contents.width, contents.height, GDT_Float64, 0,
                       0, nullptr) != CE_None)
        throw std::runtime_error("cannot write " + path);
}

std::string epsg_wkt(int epsg)
{
    OGRSpatialReference srs;
    srs.importFromEPSG(epsg);
    char* wkt = nullptr;
    const char* const options[] = {"FORMAT=WKT2_2019", nullptr};
    srs.exportToWkt(&wkt, options);
    std::string text = wkt ? wkt : "";
    CPLFree(wkt);
    return text;
}

bool same_crs(const std::string& a, const std::string& b)
{
    OGRSpatialReference first, second;
    if (first.SetFromUserInput(a.c_str()) != OGRERR_NONE || second.SetFromUserInput(b.c_str()) != OGRERR_NONE)
        return false;
    return first.IsSame(&second) != 0;
}

ReadBack read_with_gdal(const std::string& path)
{
    register_gdal_drivers();
    GdalDataset dataset(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER));
    if (!dataset) throw std::runtime_error("cannot open " + path);
    ReadBack back;
    back.width = dataset->GetRasterXSize();
    back.height = dataset->GetRasterYSize();
    back.values.resize(static_cast<std::size_t>(back.width) * static_cast<std::size_t>(back.height));
    GDALRasterBand* band = dataset->GetRasterBand(1);
    if (band->RasterIO(GF_Read, 0, 0, back.width, back.height, back.values.data(), back.width, back.height,
                       GDT_Float64, 0, 0, nullptr) != CE_None)
        throw std::runtime_error("cannot read " + path);
    back.georeferenced = dataset->GetGeoTransform(back.geotransform.data()) == CE_None;
    if (const OGRSpatialReference* srs = dataset->GetSpatialRef()) {
        char* wkt = nullptr;
        srs->exportToWkt(&wkt);
        back.crs_wkt = wkt ? wkt : "";
        CPLFree(wkt);
    }
    int has_nodata = 0;
    const double nodata = band->GetNoDataValue(&has_nodata);
    if (has_nodata) back.nodata = nodata;
    return back;
}

}  // namespace gdaltest
