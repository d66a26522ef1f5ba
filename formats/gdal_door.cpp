#include "gdal_door.h"

#include "crs.h"
#include "envi_georeferencing.h"
#include "file.h"
#include "platform.h"
#include "version.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {

// Where the module lies, from the program's folder: the same in the build
// tree (build/bin, build/lib/suite) and in an installation (<prefix>/bin,
// <prefix>/lib/suite).
constexpr const char* module_from_program_folder = "../lib/suite/" SUITE_GDAL_MODULE_NAME;

std::string module_path()
{
    const std::string program = executable_path();
    // Unknown: the loader's own search (LD_LIBRARY_PATH, the system's folders).
    if (program.empty()) return SUITE_GDAL_MODULE_NAME;
    const std::filesystem::path folder = std::filesystem::path(program).parent_path();
    return (folder / module_from_program_folder).lexically_normal().string();
}

struct LoadedModule {
    const GdalModuleTable* table = nullptr;
    GeoProblem problem;
};

LoadedModule load_module()
{
    const std::string path = module_path();
    const auto refused = [&](const std::string& reason) {
        return LoadedModule{nullptr, {GeoProblem::Kind::module_unavailable, path,
                                      "cannot load the GDAL module '" + path + "': " + reason}};
    };
    std::string reason;
    void* library = load_library(path, reason);
    // The loader's text may begin with the file's name, said already.
    if (reason.rfind(path + ": ", 0) == 0) reason.erase(0, path.size() + 2);
    if (!library) return refused(reason);
    const auto entry = reinterpret_cast<GdalModuleEntry>(library_function(library, gdal_module_entry_name));
    if (!entry) return refused(std::string("it has no function ") + gdal_module_entry_name);
    const GdalModuleTable* table = entry();
    if (!table || table->version != gdal_module_version || table->size != sizeof(GdalModuleTable) ||
        std::strcmp(table->suite_version, suite_version()) != 0)
        return refused("it was built for another version of the programs");
    return {table, {}};
}

// Calls the module's routine `entry` with `arguments`; the loader's problem
// when there is no module.
template <typename Entry, typename... Arguments>
GeoProblem forward(Entry GdalModuleTable::*entry, Arguments&&... arguments)
{
    GeoProblem problem;
    const GdalModuleTable* module = gdal_module(problem);
    return module ? (module->*entry)(std::forward<Arguments>(arguments)...) : problem;
}

// The same for a routine that reads the raster `path`. Without the module a
// name that is no file to read is what GDAL would have found it: a raster
// that does not open (the programs then say so in their own words).
template <typename Entry, typename... Arguments>
GeoProblem forward_read(Entry GdalModuleTable::*entry, const std::string& path, Arguments&&... arguments)
{
    GeoProblem problem = forward(entry, path, std::forward<Arguments>(arguments)...);
    if (problem != GeoProblem::Kind::module_unavailable || open_file(path, "rb")) return problem;
    return {GeoProblem::Kind::cannot_open, path, path + ": " + std::generic_category().message(errno)};
}

}  // namespace

const GdalModuleTable* gdal_module(GeoProblem& problem)
{
    static const LoadedModule loaded = load_module();
    problem = loaded.problem;
    return loaded.table;
}

GeoProblem read_prj_file(const std::string& path, std::string& crs_wkt)
{
    return forward(&GdalModuleTable::read_prj_file, path, crs_wkt);
}

GeoProblem write_prj_file(const std::string& path, const std::string& crs_wkt)
{
    return forward(&GdalModuleTable::write_prj_file, path, crs_wkt);
}

bool same_crs(const std::string& first, const std::string& second)
{
    if (first == second) return true;
    // Without the module two texts cannot be compared further: taken as
    // different, so that the run refuses the inputs rather than mixes them.
    GeoProblem problem;
    const GdalModuleTable* module = gdal_module(problem);
    return module && module->same_crs(first, second);
}

GeoProblem envi_georeferencing_lines(const WorldFile& world, const std::string& crs_wkt,
                                     std::vector<std::string>& lines)
{
    return forward(&GdalModuleTable::envi_georeferencing_lines, world, crs_wkt, lines);
}

bool gdal_opens(const std::string& path)
{
    // Without the module: true, so that the read which follows reports why
    // the raster cannot be taken.
    GeoProblem problem;
    const GdalModuleTable* module = gdal_module(problem);
    return !module || module->gdal_opens(path);
}

GeoProblem describe_through_gdal(const std::string& path, GdalRasterFacts& facts, Georeference& georeference)
{
    return forward_read(&GdalModuleTable::describe_through_gdal, path, facts, georeference);
}

GeoProblem read_bytes_through_gdal(const std::string& path, Grid<std::uint8_t>& values, Georeference& georeference,
                                   ClassMapColours* colours)
{
    return forward_read(&GdalModuleTable::read_bytes_through_gdal, path, values, georeference, colours);
}

GeoProblem read_floats_through_gdal(const std::string& path, Grid<float>& values, bool nodata_as_nan,
                                    Georeference& georeference)
{
    return forward_read(&GdalModuleTable::read_floats_through_gdal, path, values, nodata_as_nan, georeference);
}

GeoProblem write_geotiff(const std::string& path, const Grid<float>& values, RowOrder rows,
                         const RasterGeoreferencing& georeferencing)
{
    return forward(&GdalModuleTable::write_float_geotiff, path, values, rows, georeferencing);
}

GeoProblem write_geotiff(const std::string& path, const Grid<std::uint8_t>& indices, RowOrder rows,
                         const std::array<std::uint8_t, 1024>& palette, const RasterGeoreferencing& georeferencing)
{
    return forward(&GdalModuleTable::write_index_geotiff, path, indices, rows, palette, georeferencing);
}
