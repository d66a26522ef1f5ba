#include "standard_world_file.h"

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
    const WorldFile standard = read_world_file(path);
    if (!standard.found) return {GeoProblem::Kind::cannot_open, path};
    if (!standard.complete) return {GeoProblem::Kind::world_file_short, path};
    if (!world_file_usable(standard)) return {GeoProblem::Kind::unusable_georeferencing, path};
    suite = suite_from_standard(standard);
    return {};
}

GeoProblem write_standard_world_file(const std::string& path, const WorldFile& suite)
{
    if (!suite.complete || !world_file_usable(suite)) return {GeoProblem::Kind::unusable_georeferencing, path};
    if (const std::error_code error = write_world_file(path, standard_from_suite(suite)))
        return {GeoProblem::Kind::write_failed, path, error.message()};
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
