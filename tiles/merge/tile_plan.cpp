#include "tile_plan.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

std::optional<std::string> read_plan(const std::string& path, TiledRun& run)
{
    std::ifstream in(path);
    if (!in) return "cannot read the plan '" + path + "'";
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string item;
        words >> item;
        if (item == "mosaic") {
            words >> run.width >> run.height;
        } else if (item == "world") {
            for (double& v : run.world.values) words >> v;
            run.world.found = run.world.complete = true;
        } else if (item == "output") {
            std::getline(words >> std::ws, run.output);
        } else if (item == "tile") {
            TilePlan tile;
            words >> tile.x0 >> tile.y0 >> tile.width >> tile.height;
            std::getline(words >> std::ws, tile.folder);
            run.tiles.push_back(tile);
        } else if (!item.empty()) {
            return "unknown line in the plan: " + line;
        }
        if (words.fail()) return "unreadable line in the plan: " + line;
    }
    if (run.width <= 0 || run.height <= 0 || run.output.empty()) return "the plan lacks the mosaic or the output";
    for (TilePlan& tile : run.tiles) {
        std::ifstream census(tile.folder + "/census.txt");
        if (!census) return "cannot read the census of the tile '" + tile.folder + "'";
        CensusEntry entry;
        while (census >> entry.colour >> entry.x >> entry.y) tile.census.push_back(entry);
        if (!census.eof()) return "unreadable census of the tile '" + tile.folder + "'";
    }
    return std::nullopt;
}

std::vector<std::int32_t> mosaic_census(const TiledRun& run)
{
    std::map<std::int32_t, std::pair<std::int64_t, std::int64_t>> first;
    for (const TilePlan& tile : run.tiles)
        for (const CensusEntry& e : tile.census) {
            const auto found = first.find(e.colour);
            if (found == first.end() || std::make_pair(e.x, e.y) < found->second) first[e.colour] = {e.x, e.y};
        }
    std::vector<std::pair<std::pair<std::int64_t, std::int64_t>, std::int32_t>> order;
    for (const auto& [colour, position] : first) order.push_back({position, colour});
    std::sort(order.begin(), order.end());
    std::vector<std::int32_t> colours;
    for (const auto& entry : order) colours.push_back(entry.second);
    return colours;
}
