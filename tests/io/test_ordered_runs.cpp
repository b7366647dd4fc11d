// Runs of items made on helper threads and handed on in order.
#include "vxOrderedRuns.h"

#include <gtest/gtest.h>

// Items without weights are cut into runs as items of weight 1 are: size
// items a run (at least one), the last run what is left, none for no items.
TEST(OrderedRuns, RunsOfItemsWithoutWeightsAreThoseOfWeightOne)
{
    const auto one = [](std::size_t) { return std::uint64_t{1}; };
    for (std::size_t count : {0, 1, 2, 7, 8, 9, 63, 64, 65, 100, 8191, 8192, 8193, 100000})
        for (std::uint64_t size : {0, 1, 2, 3, 8, 64, 8192, 100000, 1000000})
            ASSERT_EQ(vxOrderedRuns::blocks(count, size), vxOrderedRuns::blocks(count, size, one))
                << count << " items, runs of " << size;
    EXPECT_EQ(vxOrderedRuns::blocks(0, 8), std::vector<std::size_t>{0});
    EXPECT_EQ(vxOrderedRuns::blocks(20, 8), (std::vector<std::size_t>{0, 8, 16, 20}));
}
