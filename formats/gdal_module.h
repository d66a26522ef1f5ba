// The table through which the programs reach the suite's GDAL code. That
// code, with GDAL and the libraries GDAL pulls in, is a shared module loaded
// at a program's first use of it (gdal_door.h), so that runs that never need
// GDAL start without it. The module hands out one table of the routines the
// programs call; the door checks that it was built from the same sources and
// forwards to it.
//
// Module and programs are built together: the entries pass C++ values
// (std::string, Grid ...) as the routines declare them.
#pragma once

#include "geo_input.h"
#include "geotiff_writer.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct GeoPackageLayout;
struct RecordArrays;

// A GeoPackage writer of the module (GeoPackageWriter there), held by the
// programs' GeoPackageWriter.
struct GdalModuleWriter;

struct GdalModuleTable {
    std::uint32_t version;   // gdal_module_version of the module's sources
    std::uint32_t size;      // sizeof(GdalModuleTable) there
    const char* suite_version;  // suite_version() of its build

    GeoProblem (*read_prj_file)(const std::string& path, std::string& crs_wkt);
    GeoProblem (*write_prj_file)(const std::string& path, const std::string& crs_wkt);
    bool (*same_crs)(const std::string& first, const std::string& second);
    GeoProblem (*envi_georeferencing_lines)(const WorldFile& world, const std::string& crs_wkt,
                                            std::vector<std::string>& lines);

    bool (*gdal_opens)(const std::string& path);
    GeoProblem (*describe_through_gdal)(const std::string& path, GdalRasterFacts& facts, Georeference& georeference);
    GeoProblem (*read_bytes_through_gdal)(const std::string& path, Grid<std::uint8_t>& values,
                                          Georeference& georeference, ClassMapColours* colours);
    GeoProblem (*read_floats_through_gdal)(const std::string& path, Grid<float>& values, bool nodata_as_nan,
                                           Georeference& georeference);

    GeoProblem (*write_float_geotiff)(const std::string& path, const Grid<float>& values, RowOrder rows,
                                      const RasterGeoreferencing& georeferencing);
    GeoProblem (*write_index_geotiff)(const std::string& path, const Grid<std::uint8_t>& indices, RowOrder rows,
                                      const std::array<std::uint8_t, 1024>& palette,
                                      const RasterGeoreferencing& georeferencing);

    GdalModuleWriter* (*new_geopackage_writer)();
    void (*delete_geopackage_writer)(GdalModuleWriter* writer);
    GeoProblem (*create_geopackage)(GdalModuleWriter& writer, const std::string& path, const GeoPackageLayout& layout);
    GeoProblem (*append_to_geopackage)(GdalModuleWriter& writer, const RecordArrays& records,
                                       const std::vector<std::vector<double>>& columns);
    GeoProblem (*finish_geopackage)(GdalModuleWriter& writer);
};

// Raised whenever an entry's meaning changes.
constexpr std::uint32_t gdal_module_version = 1;

// The module's one exported function, extern "C" under this name: returns
// its table.
constexpr const char* gdal_module_entry_name = "suite_gdal_module_table";
using GdalModuleEntry = const GdalModuleTable* (*)();
