// The decks' messages cross from other threads to the main thread: a message raised after its
// delivery is never lost.
#include <gtest/gtest.h>

#include <QTest>
#include <array>
#include <atomic>
#include <chrono>
#include <thread>

#include "core/Messages.h"
#include "platform/DeckEventQueue.h"

namespace {

// What raises each message, and the message then delivered.
constexpr std::array<std::pair<void (DeckEvents::*)(int), int>, 4> kKinds{{
    {&DeckEvents::mixInto, msg::kMixInto},
    {&DeckEvents::trackEnded, msg::kTrackEnded},
    {&DeckEvents::trackLoaded, msg::kTrackLoaded},
    {&DeckEvents::loadFailed, msg::kLoadFailed},
}};

TEST(DeckEventQueueTest, EveryMessageRaisedAfterItsDeliveryArrivesAgain) {
    // Each thread raises one message again as soon as it sees it delivered: a raise that lands
    // while the main thread delivers must not be swallowed.
    constexpr int kRounds = 500;
    // [kind][deck]; written on the main thread, read by the raising threads.
    std::array<std::array<std::atomic<int>, 2>, 4> delivered{};
    DeckEventQueue queue([&](int message, int deck) {
        for (std::size_t kind = 0; kind < kKinds.size(); ++kind) {
            delivered[kind][deck] += kKinds[kind].second == message ? 1 : 0;
        }
    });
    std::atomic<int> finished{0};
    std::atomic<bool> givenUp{false};
    std::array<std::thread, 2> threads;
    for (int deck = 0; deck < 2; ++deck) {
        threads[deck] = std::thread([&, deck] {
            for (std::size_t kind = 0; kind < kKinds.size(); ++kind) {
                for (int round = 1; round <= kRounds; ++round) {
                    (queue.*kKinds[kind].first)(deck);
                    while (delivered[kind][deck] < round && !givenUp) {
                        std::this_thread::yield();
                    }
                }
            }
            ++finished;
        });
    }
    // The main thread delivers as fast as it can, for the most raises that meet a delivery. The
    // deadline only ends a hang: on a busy machine the spinning threads starve the main one.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (finished < 2 && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents();
    }
    const bool done = finished == 2;
    givenUp = true;
    for (auto& thread : threads) {
        thread.join();
    }
    ASSERT_TRUE(done) << "a raised message was never delivered";
    for (const auto& kind : delivered) {
        EXPECT_EQ(kind[0], kRounds);
        EXPECT_EQ(kind[1], kRounds);
    }
}

}  // namespace
