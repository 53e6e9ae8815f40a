#pragma once

#include <atomic>
#include <chrono>
#include <thread>

#include "core/StopSignal.h"

class Deck;
class ServiceWake;

// The thread that runs every deck operation: a service step of deck 0, one of deck 1, then a wait
// of kStepPeriod that a request cuts short (none while a deck wants its next step at once), over
// and over. Once neither deck has had anything to do for kSettle (long enough for the cards to play
// out what was written before a pause, so that their rings hold only silence), it waits for the
// next request alone. It asks for real-time scheduling and carries on at normal priority when that
// is refused. Owned and stopped by the main thread.
class AudioThread {
  public:
    static constexpr auto kStepPeriod = std::chrono::milliseconds(4);
    static constexpr auto kSettle = std::chrono::milliseconds(200);
    static constexpr int kHurriedPasses = 8;  // passes in a row without a wait, at most

    AudioThread(Deck& deck0, Deck& deck1, ServiceWake& wake);
    // Stops the thread if it still runs.
    ~AudioThread();
    AudioThread(const AudioThread&) = delete;
    AudioThread& operator=(const AudioThread&) = delete;

    // Sets the stop flag and waits until the thread has finished its pass and acknowledged.
    void stop();

    // any: whether the thread waits for a request alone, every deck at rest.
    bool resting() const { return resting_.load(std::memory_order_acquire); }

    std::thread::native_handle_type nativeHandle() { return thread_.native_handle(); }

  private:
    void run();

    Deck& deck0_;
    Deck& deck1_;
    ServiceWake& wake_;
    StopSignal stop_;
    std::atomic<bool> resting_{false};
    std::thread thread_;
};
