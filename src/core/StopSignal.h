#pragma once

#include <atomic>
#include <thread>

// How a service thread is stopped: the owner raises the signal and waits until the thread, having
// finished its pass, lowers it again as its last act. raiseAndWait: the owner's thread; raised
// and acknowledge: the service thread.
class StopSignal {
  public:
    bool raised() const { return value_.load() != 0; }
    void acknowledge() { value_.store(0); }
    void raiseAndWait() {
        raiseAndWait([] {});
    }
    // nudge wakes a thread that may be waiting for something else, until it has seen the signal.
    template <class Nudge>
    void raiseAndWait(Nudge nudge) {
        value_.fetch_add(1);
        while (value_.load() != 0) {
            nudge();
            std::this_thread::yield();
        }
    }

  private:
    std::atomic<int> value_{0};
};
