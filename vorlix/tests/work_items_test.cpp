#include "work_items.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

// Batch after batch, every item is worked exactly once, by a known worker,
// and the batch is over when run returns; a failing item is reported.
TEST(WorkTeam, WorksEveryItemOfEveryBatchOnce)
{
    for (int threads : {1, 2, 4}) {
        WorkTeam team(threads);
        for (int batch = 0; batch < 300; ++batch) {
            const int count = 1 + batch % 7;
            std::vector<std::atomic<int>> runs(count);
            for (auto& r : runs) r = 0;
            team.run(count, [&](int item, int worker) {
                EXPECT_GE(worker, 0);
                EXPECT_LT(worker, threads);
                ++runs[item];
            });
            for (int i = 0; i < count; ++i) ASSERT_EQ(runs[i], 1) << threads << " threads, batch " << batch;
        }
        EXPECT_THROW(team.run(3,
                              [](int item, int) {
                                  if (item == 1) throw std::runtime_error("item 1");
                              }),
                     std::runtime_error);
        int after = 0;
        team.run(1, [&](int, int) { ++after; });
        EXPECT_EQ(after, 1);
    }
}
