#include "output_choices.h"

#include "platform.h"

#include <algorithm>
#include <cctype>

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

std::vector<KnownOption> output_options(OutputKinds kinds)
{
    std::vector<KnownOption> options = {
        {"gis", "", "GIS-standard layout: ESRI ring order, true extents, class and record fields (also SUITE_GIS=1)"}};
    if (kinds.rasters && kinds.vectors)
        options.push_back({"of", "FORMAT", "GTiff: rasters as GeoTIFF; GPKG: vectors as one GeoPackage"});
    else if (kinds.rasters)
        options.push_back({"of", "FORMAT", "GTiff: raster outputs as GeoTIFF (CRS, geotransform, nodata)"});
    else if (kinds.vectors)
        options.push_back({"of", "FORMAT", "GPKG: vector outputs as one GeoPackage"});
    return options;
}

std::optional<std::string> take_output_choices(const CommandLine& line, OutputKinds kinds, OutputChoices& choices)
{
    const std::string environment = lower(environment_variable("SUITE_GIS"));
    choices.gis = line.has("gis") || environment == "1" || environment == "yes" || environment == "true";
    choices.format = OutputFormat::suite;
    if (const auto format = line.value("of")) {
        const std::string asked = lower(*format);
        if (kinds.rasters && (asked == "gtiff" || asked == "geotiff"))
            choices.format = OutputFormat::gtiff;
        else if (kinds.vectors && (asked == "gpkg" || asked == "geopackage"))
            choices.format = OutputFormat::gpkg;
        else
            return "the output format '" + *format + "' is not one this program writes (" +
                   (kinds.rasters ? std::string("GTiff") : std::string()) +
                   (kinds.rasters && kinds.vectors ? ", " : "") + (kinds.vectors ? "GPKG" : "") + ")";
#if !SUITE_HAVE_GDAL
        return "this build writes only the suite's own formats (GeoTIFF and GeoPackage need GDAL)";
#endif
    }
    return std::nullopt;
}
