#include "geotiff_samples.h"

#include "bmp.h"
#include "paths.h"
#include "sample_files.h"
#include "town.h"
#include "town_rasters.h"

#if SUITE_HAVE_GDAL
#include "geotiff_writer.h"
#include "spatial_reference.h"

#include <ogr_spatialref.h>
#endif

#include <cstdio>

namespace samples {

#if SUITE_HAVE_GDAL

bool can_write_geotiffs()
{
    return true;
}

bool write_geotiff_samples(const std::string& folder, std::vector<std::string>& written)
{
    RasterGeoreferencing placed;
    placed.world.values = {town_pixel_m, 0.0, 0.0, -town_pixel_m, town_easting, town_northing};
    placed.world.complete = true;
    OGRSpatialReference utm32;
    if (const GeoProblem problem = parse_crs("EPSG:32632", utm32)) {
        std::printf("\nError: %s\n", problem.message().c_str());
        return false;
    }
    placed.crs_wkt = wkt_of(utm32);

    auto done = [&](const std::string& name, const GeoProblem& problem) {
        if (problem) {
            std::printf("\nError: cannot write '%s': %s\n", join_folder(folder, name).c_str(),
                        problem.reason().c_str());
            return false;
        }
        written.push_back(name);
        return true;
    };
    const Town town = make_town(town_seed);
    const auto path = [&](const char* name) { return join_folder(folder, name); };
    return done("aerial.tif", write_geotiff(path("aerial.tif"), aerial_image(town), RowOrder::top_first,
                                            grey_palette(), placed)) &&
           done("buildings.tif", write_geotiff(path("buildings.tif"), building_class(town), RowOrder::top_first,
                                               class_palette(255, 0, 0), placed)) &&
           done("shadows.tif", write_geotiff(path("shadows.tif"), shadow_class(town), RowOrder::top_first,
                                             class_palette(0, 0, 255), placed)) &&
           done("temperature.tif", write_geotiff(path("temperature.tif"), surface_temperature(town),
                                                 RowOrder::top_first, placed));
}

#else

bool can_write_geotiffs()
{
    return false;
}

bool write_geotiff_samples(const std::string&, std::vector<std::string>&)
{
    return false;
}

#endif

}  // namespace samples
