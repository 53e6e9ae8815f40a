#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

// How a request reaches the deck service thread at once instead of at its next pass: a count of
// wakes the thread waits on (a Linux futex). notify never locks, allocates or waits, so any thread
// may call it, the audio threads included.
class ServiceWake {
  public:
    // any: counts a wake and ends a wait in progress.
    void notify();
    // The service thread: the wakes counted so far, read before a pass.
    uint32_t count() const { return count_.load(std::memory_order_acquire); }
    // The service thread: returns once a wake came after `seen` (at once when one already did),
    // or when `limit` has passed.
    void waitFor(uint32_t seen, std::chrono::nanoseconds limit);
    // The service thread: the same without a limit, for while no deck has anything to do.
    void wait(uint32_t seen);

  private:
    std::atomic<uint32_t> count_{0};
    static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t));
    static_assert(std::atomic<uint32_t>::is_always_lock_free);
};
