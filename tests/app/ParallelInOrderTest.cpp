#include "app/ParallelInOrder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "Waiting.h"

namespace {

// The first job waits until the results of all the others have come in; they must still be
// delivered in order, on the calling thread, each once.
TEST(ParallelInOrderTest, DeliversInOrderWhatFinishesOutOfOrder) {
    constexpr std::size_t kCount = 6;
    const auto caller = std::this_thread::get_id();
    std::atomic<std::size_t> othersIn = 0;
    std::atomic<bool> firstWaited = false;
    std::atomic<bool> onCaller = false;
    std::vector<std::size_t> finished;
    std::vector<std::size_t> delivered;

    runInParallelInOrder<std::unique_ptr<std::size_t>>(
        kCount, 3,
        [&](std::size_t i) {
            onCaller = onCaller || std::this_thread::get_id() == caller;
            if (i == 0) {
                firstWaited = waitFor([&] { return othersIn == kCount - 1; });
            }
            return std::make_unique<std::size_t>(i * 10);
        },
        [&](std::size_t i, const std::unique_ptr<std::size_t>& result) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            EXPECT_EQ(*result, i * 10);
            finished.push_back(i);
            othersIn += i == 0 ? 0 : 1;
        },
        [&](std::size_t i, std::unique_ptr<std::size_t>& result) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            EXPECT_EQ(*result, i * 10);
            delivered.push_back(i);
        });

    EXPECT_TRUE(firstWaited) << "the others did not run beside the first";
    EXPECT_FALSE(onCaller) << "a job ran on the calling thread";
    ASSERT_EQ(finished.size(), kCount);
    EXPECT_EQ(finished.back(), 0u);
    EXPECT_EQ(delivered, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5}));
}

}  // namespace
