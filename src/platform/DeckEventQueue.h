#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <array>
#include <atomic>
#include <functional>
#include <memory>

#include "engine/deck/DeckEvents.h"

// Carries the decks' messages from the audio thread to the main thread without allocating,
// locking or waiting: the audio thread raises a flag and writes to an eventfd; the main thread
// wakes on it and delivers each raised flag once. A message raised again before the main thread
// took it is delivered once, which is all a repeated message means.
class DeckEventQueue : public DeckEvents {
  public:
    // deliver(message, deck) runs on the thread that owns this queue.
    explicit DeckEventQueue(std::function<void(int, int)> deliver);
    ~DeckEventQueue() override;

    void mixInto(int deck) override { raise(0, deck); }
    void trackEnded(int deck) override { raise(1, deck); }
    void trackLoaded(int deck) override { raise(2, deck); }
    void loadFailed(int deck) override { raise(3, deck); }

    // Delivers what was raised (also called by the notifier).
    void deliverPending();

  private:
    void raise(int kind, int deck);

    std::function<void(int, int)> deliver_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::array<std::array<std::atomic<bool>, 2>, 4> raised_{};
};
