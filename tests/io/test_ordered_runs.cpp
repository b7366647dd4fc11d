// Runs of items made on helper threads and handed on in order.
#include "vxOrderedRuns.h"
#include "vxProcessors.h"

#include <gtest/gtest.h>
#include <mutex>
#include <sched.h>
#include <set>
#include <string>
#include <thread>

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

// The processors usable are those of the CPU affinity: confined to one, the
// runs are all made on the calling thread; with more, by helpers.
TEST(OrderedRuns, RunsAreMadeByHelpersOnlyWhereTwoProcessorsMayBeUsed)
{
    cpu_set_t allowed;
    ASSERT_EQ(::sched_getaffinity(0, sizeof allowed, &allowed), 0);
    EXPECT_EQ(vxProcessors::usable(), static_cast<unsigned>(CPU_COUNT(&allowed)));
    int first = 0;
    while (!CPU_ISSET(first, &allowed))
        ++first;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(first, &one);
    const auto makers = [] {
        std::set<std::thread::id> ids;
        std::mutex mutex;
        std::string all;
        vxOrderedRuns::makeInOrder(
            vxOrderedRuns::blocks(100, 10),
            [&](std::size_t from, std::size_t to, std::string& out) {
                const std::lock_guard lock(mutex);
                ids.insert(std::this_thread::get_id());
                for (std::size_t i = from; i < to; ++i)
                    out += std::to_string(i) + ",";
            },
            [&](std::size_t, const std::string& text) {
                all += text;
                return true;
            });
        std::string expected;
        for (int i = 0; i < 100; ++i)
            expected += std::to_string(i) + ",";
        EXPECT_EQ(all, expected);
        return ids;
    };
    ASSERT_EQ(::sched_setaffinity(0, sizeof one, &one), 0);
    const unsigned confined = vxProcessors::usable();
    const std::set<std::thread::id> alone = makers();
    ASSERT_EQ(::sched_setaffinity(0, sizeof allowed, &allowed), 0);
    EXPECT_EQ(confined, 1u);
    EXPECT_EQ(alone, std::set<std::thread::id>{std::this_thread::get_id()});
    if (CPU_COUNT(&allowed) >= 2) {
        EXPECT_EQ(makers().count(std::this_thread::get_id()), 0u);
    }
}
