// GeoPackageWriter of the programs: a writer of the GDAL module
// (gdal_door.h), made by create().
#include "geopackage_writer.h"

#include "gdal_door.h"

struct GeoPackageWriter::State {
    const GdalModuleTable* module = nullptr;
    GdalModuleWriter* writer = nullptr;
};

GeoPackageWriter::GeoPackageWriter() = default;

GeoPackageWriter::~GeoPackageWriter()
{
    abandon();
}

GeoProblem GeoPackageWriter::abandon(GeoProblem problem)
{
    // The module's writer removes a file it has not finished.
    if (state_) state_->module->delete_geopackage_writer(state_->writer);
    state_.reset();
    return problem;
}

GeoProblem GeoPackageWriter::create(const std::string& path, const GeoPackageLayout& layout)
{
    if (!state_) {
        GeoProblem problem;
        const GdalModuleTable* module = gdal_module(problem);
        if (!module) return problem;
        state_ = std::make_unique<State>(State{module, module->new_geopackage_writer()});
    }
    return state_->module->create_geopackage(*state_->writer, path, layout);
}

GeoProblem GeoPackageWriter::append(const RecordArrays& records, const FieldColumns& columns)
{
    if (!state_) return {GeoProblem::Kind::write_failed, "", "no GeoPackage is open"};
    return state_->module->append_to_geopackage(*state_->writer, records, columns);
}

GeoProblem GeoPackageWriter::finish()
{
    if (!state_) return {GeoProblem::Kind::write_failed, "", "no GeoPackage is open"};
    return state_->module->finish_geopackage(*state_->writer);
}
