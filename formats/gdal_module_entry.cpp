// The entry point of the shared module holding the suite's GDAL code: the
// table of the routines the programs reach through gdal_door.h.
#include "crs.h"
#include "envi_georeferencing.h"
#include "gdal_module.h"
#include "geopackage_writer.h"
#include "version.h"

namespace {

GdalModuleWriter* new_geopackage_writer()
{
    return reinterpret_cast<GdalModuleWriter*>(new GeoPackageWriter);
}

GeoPackageWriter& writer_of(GdalModuleWriter& writer)
{
    return reinterpret_cast<GeoPackageWriter&>(writer);
}

const GdalModuleTable table = {
    gdal_module_version,
    sizeof(GdalModuleTable),
    suite_version(),
    read_prj_file,
    write_prj_file,
    same_crs,
    envi_georeferencing_lines,
    gdal_opens,
    describe_through_gdal,
    read_bytes_through_gdal,
    read_floats_through_gdal,
    write_geotiff,
    write_geotiff,
    new_geopackage_writer,
    [](GdalModuleWriter* writer) { delete &writer_of(*writer); },
    [](GdalModuleWriter& writer, const std::string& path, const GeoPackageLayout& layout) {
        return writer_of(writer).create(path, layout);
    },
    [](GdalModuleWriter& writer, const RecordArrays& records, const FieldColumns& columns) {
        return writer_of(writer).append(records, columns);
    },
    [](GdalModuleWriter& writer) { return writer_of(writer).finish(); },
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const GdalModuleTable* suite_gdal_module_table()
{
    return &table;
}
