#include "engine/deck/StoreSaver.h"

#include <algorithm>
#include <cstdint>

#include "engine/deck/TrackInfoStore.h"

StoreSaver::StoreSaver(TrackInfoStore& store, std::chrono::milliseconds quiet,
                       std::function<void(std::error_code)> saved)
    : store_(store), quiet_(quiet), saved_(std::move(saved)), thread_([this] { run(); }) {}

StoreSaver::~StoreSaver() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void StoreSaver::run() {
    using Clock = std::chrono::steady_clock;
    // The decks never wake this thread (they must not wait on its lock), so it looks a few
    // times within each quiet period.
    const auto look = std::max(quiet_ / 4, std::chrono::milliseconds(1));
    uint64_t seen = store_.changeCount();
    Clock::time_point changedAt = Clock::now();
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, look, [this] { return stopping_; })) {
        const uint64_t changes = store_.changeCount();
        if (changes != seen) {
            seen = changes;
            changedAt = Clock::now();
        } else if (store_.unsaved() && Clock::now() - changedAt >= quiet_) {
            lock.unlock();
            std::error_code error;
            store_.save(&error);
            saved_(error);
            // A failed save is tried again after another quiet period, not at every look.
            changedAt = Clock::now();
            lock.lock();
        }
    }
}
