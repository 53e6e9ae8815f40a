#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Waits for what another thread brings about, always up to a deadline, so that a fault fails the
// test rather than hanging it.

// Polls the condition, every `poll`, until it holds; false when it did not within the limit.
template <class Condition>
bool waitFor(Condition condition,
             std::chrono::steady_clock::duration limit = std::chrono::seconds(10),
             std::chrono::steady_clock::duration poll = std::chrono::milliseconds(1)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(poll);
    }
    return true;
}

// An open that blocks until the test lets it go (or after twenty seconds), as on a stalled share.
class Gate {
  public:
    void wait() {
        std::unique_lock lock(mutex_);
        entered_ = true;
        changed_.notify_all();
        changed_.wait_for(lock, std::chrono::seconds(20), [&] { return open_; });
        left_ = true;
    }
    void release() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // False when nothing came to the gate within ten seconds.
    bool awaitEntered() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return entered_; });
    }
    bool left() {
        std::lock_guard lock(mutex_);
        return left_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    bool entered_ = false;
    bool left_ = false;
};
