#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>

class TrackInfoStore;

// Saves the track info store once it has been left unchanged for a while after a deck stored a
// record, so that a crash or a power cut loses at most the last few seconds of analyses and cue
// points, and a burst of records costs one save. It runs on a thread of its own: waiting for the
// disk must hold up neither the decks nor the window.
class StoreSaver {
  public:
    // saved(error) runs on the saver thread after each save, with no error when it succeeded.
    // quiet: how long the store must stay unchanged before it is saved. Thread: main.
    StoreSaver(TrackInfoStore& store, std::chrono::milliseconds quiet,
               std::function<void(std::error_code)> saved);
    // Stops the thread at once, a save under way finishing first; what is unsaved stays so.
    // Thread: main.
    ~StoreSaver();
    StoreSaver(const StoreSaver&) = delete;
    StoreSaver& operator=(const StoreSaver&) = delete;

  private:
    void run();

    TrackInfoStore& store_;
    const std::chrono::milliseconds quiet_;
    std::function<void(std::error_code)> saved_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};
