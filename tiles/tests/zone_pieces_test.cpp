// A zone's values cut by tiles and put back together: the pieces written
// by the tiles, read back by the merge and interleaved, give the zone's
// sequence in its own order, for random zones and tile sizes; pieces that
// do not fit are refused.
#include "zone_pieces.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <random>

using namespace testsupport;

TEST(ZonePieces, TilesPiecesInterleaveIntoTheZoneOrder)
{
    std::mt19937 random(18);
    TempDir folder;
    for (int trial = 0; trial < 200; ++trial) {
        const int width = 1 + static_cast<int>(random() % 40), height = 1 + static_cast<int>(random() % 40);
        const int tile = 1 + static_cast<int>(random() % 9);
        const std::int64_t columns = (width + tile - 1) / tile;
        // A zone: random pixels, row by row from the bottom, left to right;
        // each pixel's value its place in that order.
        std::vector<std::int64_t> tile_of_pixel;
        std::vector<float> zone;
        std::map<std::int64_t, std::vector<float>> written;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (random() % 3 == 0) {
                    const std::int64_t t = (height - 1 - y) / tile * columns + x / tile;
                    tile_of_pixel.push_back(t);
                    zone.push_back(static_cast<float>(zone.size()));
                    written[t].push_back(zone.back());
                }
        // Through a tile's file: this zone's piece between two others'.
        std::map<std::int64_t, std::vector<float>> pieces;
        for (const auto& [t, values] : written) {
            const std::string path = folder.file("values_" + std::to_string(trial) + "_" + std::to_string(t));
            PieceWriter writer(path);
            writer.write(trial, {1.5f});
            writer.write(trial + 1, values);
            writer.write(trial + 3, {2.5f, 3.5f});
            ASSERT_TRUE(writer.finish());
            PieceReader reader(path);
            std::vector<float> first;
            reader.take(trial, first);
            reader.take(trial + 1, pieces[t]);
            EXPECT_THROW(reader.take(trial + 2, first), PieceError);
        }
        std::vector<float> values;
        ASSERT_TRUE(interleave_pieces(tile_of_pixel, pieces, values));
        EXPECT_EQ(values, zone);
        if (zone.empty()) continue;
        // A piece one value short, or one too long, does not fit.
        std::map<std::int64_t, std::vector<float>> wrong = pieces;
        wrong.begin()->second.pop_back();
        EXPECT_FALSE(interleave_pieces(tile_of_pixel, wrong, values));
        wrong.begin()->second.push_back(0.0f);
        wrong.begin()->second.push_back(0.0f);
        EXPECT_FALSE(interleave_pieces(tile_of_pixel, wrong, values));
    }
}
