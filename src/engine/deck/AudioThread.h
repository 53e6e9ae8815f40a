#pragma once

#include <thread>

#include "core/StopSignal.h"

class Deck;

// The thread that runs every deck operation: a service step of deck 0, one of deck 1, a
// millisecond's sleep, over and over. It asks for real-time scheduling and carries on at normal
// priority when that is refused. Owned and stopped by the main thread.
class AudioThread {
  public:
    AudioThread(Deck& deck0, Deck& deck1);
    // Stops the thread if it still runs.
    ~AudioThread();
    AudioThread(const AudioThread&) = delete;
    AudioThread& operator=(const AudioThread&) = delete;

    // Sets the stop flag and waits until the thread has finished its pass and acknowledged.
    void stop();

    std::thread::native_handle_type nativeHandle() { return thread_.native_handle(); }

  private:
    void run();

    Deck& deck0_;
    Deck& deck1_;
    StopSignal stop_;
    std::thread thread_;
};
