#include "blob_passes.h"
#include "random_images.h"
#include "reference_filter.h"

#include <gtest/gtest.h>

namespace {

// A 3x5 blob (15 pixels) plus `extra` pixels continuing its last row.
Grid<std::uint8_t> blob_of(int pixels)
{
    Grid<std::uint8_t> g(20, 10, 255);
    for (int i = 0; i < pixels; ++i) g(2 + i % 8, 2 + i / 8) = 0;
    return g;
}

}  // namespace

TEST(BlobPasses, BlobOfExactlyTheLimitIsDropped)
{
    VisitMarks marks(20, 10);
    Grid<std::uint8_t> at_limit = blob_of(16);
    remove_small_blobs(at_limit, 16, marks);
    EXPECT_TRUE(at_limit == Grid<std::uint8_t>(20, 10, 255));
    Grid<std::uint8_t> above = blob_of(17);
    remove_small_blobs(above, 16, marks);
    EXPECT_TRUE(above == blob_of(17));
}

// Border pixels are reached from inner ones but never grown from; a blob
// that drops border pixels shared with a larger one can bring that one
// under the limit for its later seeds. Scattered masks make such cases
// frequent.
TEST(BlobPasses, SmallBlobRemovalMatchesTheListGrowth)
{
    std::uint32_t seed = 500;
    for (auto [w, h] : {std::pair{24, 18}, {3, 3}, {7, 30}, {40, 40}, {2, 9}}) {
        for (double chance : {0.2, 0.45, 0.6}) {
            const Grid<std::uint8_t> mask = testimages::speckle_mask(w, h, chance, seed++);
            for (int limit : {-1, 0, 1, 2, 5, 16, 60}) {
                Grid<std::uint8_t> fast = mask, ref = mask;
                VisitMarks marks(w, h);
                remove_small_blobs(fast, limit, marks);
                reference::remove_small_blobs(ref, limit);
                ASSERT_TRUE(fast == ref) << w << "x" << h << " chance " << chance << " limit " << limit;
            }
        }
    }
}

TEST(BlobPasses, ReclassificationMatchesTheListGrowth)
{
    std::uint32_t seed = 900;
    for (auto [w, h] : {std::pair{30, 22}, {4, 4}, {50, 12}}) {
        for (double chance : {0.3, 0.55}) {
            const Grid<std::uint8_t> mask = testimages::speckle_mask(w, h, chance, seed++);
            const Grid<std::uint8_t> image = testimages::noise(w, h, seed++);
            const Grid<std::uint8_t> minima = testimages::noise(w, h, seed++);
            const Grid<std::uint8_t> scarto = testimages::noise(w, h, seed++);
            for (int blob_max : {0, 3, 12, 1000}) {
                for (double factor : {0.0, 1.0, 1.35}) {
                    VorlixParameters p = default_parameters();
                    p.par_blob_max = blob_max;
                    p.par_reclass_source = factor;
                    p.par_reclass_minrad = factor + 0.05;
                    p.par_reclass_varrad = factor + 0.1;
                    Grid<std::uint8_t> fast = mask, ref = mask;
                    VisitMarks marks(w, h);
                    std::vector<Point> punto;
                    const GlobalMeans means = global_means(fast, image, minima, scarto);
                    reclassify_blobs(fast, image, minima, scarto, p, means, marks, punto);
                    reference::reclassify_blobs(ref, image, minima, scarto, p);
                    ASSERT_TRUE(fast == ref) << w << "x" << h << " blob_max " << blob_max << " factor " << factor;
                }
            }
        }
    }
}
