#include "standard_world_file.h"

#include "file.h"
#include "geotransform.h"
#include "sidecar_names.h"

#include <cctype>
#include <vector>

namespace {

// Shifts C, F by `sign` half pixels along both pixel axes.
WorldFile shifted(const WorldFile& world, double sign)
{
    WorldFile result = world;
    auto& v = result.values;
    const double A = v[0], D = v[1], B = v[2], E = v[3];
    v[4] = v[4] + sign * (A / 2) + sign * (B / 2);
    v[5] = v[5] + sign * (D / 2) + sign * (E / 2);
    return result;
}

bool is_suite_world_extension(const std::string& extension)
{
    std::string lower = extension;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == "bpw" || lower == "rww";
}

}  // namespace

WorldFile suite_from_standard(const WorldFile& standard)
{
    return shifted(standard, -1.0);
}

WorldFile standard_from_suite(const WorldFile& suite)
{
    return shifted(suite, +1.0);
}

GeoProblem read_standard_world_file(const std::string& path, WorldFile& suite)
{
    if (!open_file(path, "rb"))
        return geo_problem(GeoProblemKind::cannot_open, "cannot open the world file '" + path + "'");
    const WorldFile standard = read_world_file(path);
    if (!standard.complete)
        return geo_problem(GeoProblemKind::bad_georeferencing,
                           "the world file '" + path + "' does not hold six numbers");
    if (GeoProblem problem = check_world_values(standard, "the world file '" + path + "'")) return problem;
    suite = suite_from_standard(standard);
    return {};
}

GeoProblem write_standard_world_file(const std::string& path, const WorldFile& suite)
{
    if (GeoProblem problem = check_world_values(suite, "the world file '" + path + "'")) return problem;
    if (!write_world_file(path, standard_from_suite(suite)))
        return geo_problem(GeoProblemKind::write_failed, "cannot write '" + path + "'");
    return {};
}

std::optional<std::string> find_standard_world_file(const std::string& raster_path)
{
    const std::string extension = name_extension(raster_path);
    std::vector<std::string> candidates;
    auto add = [&](const std::string& sidecar) {
        for (std::string& path : sidecar_spellings(raster_path, sidecar)) candidates.push_back(std::move(path));
    };
    if (extension.size() >= 2) {
        // The "w" takes the case of the extension's last letter.
        const bool upper = std::isupper(static_cast<unsigned char>(extension.back())) != 0;
        const std::string three_letter = std::string{extension.front(), extension.back(), upper ? 'W' : 'w'};
        if (!is_suite_world_extension(three_letter)) add(three_letter);
        add(extension + (upper ? "W" : "w"));
    }
    add("wld");
    return first_existing(candidates);
}
