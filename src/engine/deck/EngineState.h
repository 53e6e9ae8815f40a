#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>

#include "engine/deck/ServiceWake.h"

class Deck;
class DeckEvents;
class DeviceRest;
class TrackInfoStore;

// Status shown on a deck panel in place of the times.
enum DeckStatus : int {
    kDeckNormal = 0,
    kDeckDecodingError = 153,
    kDeckCannotOpen = 156,
    kDeckEmpty = 157,
};

// The text a deck panel shows in place of the times for a status, or null for none.
inline const char* deckStatusText(int status) {
    switch (status) {
        case kDeckDecodingError:
            return "ERROR\nin the\nMP3 file";
        case kDeckCannotOpen:
            return "Impossible\nto open\nthe file";
        case kDeckEmpty:
            return "Drag a file\non the disc\nto load it";
        default:
            return nullptr;
    }
}

// main: what lets the sound cards rest while no deck plays.
class DeviceRest {
  public:
    virtual ~DeviceRest() = default;
    // A deck request came: the cards must run before the service thread acts on it.
    virtual void wakeDevices() = 0;
};

// What the two decks share with each other and with the window. The engine writes the status
// and redraw flag from the audio thread; the window sets the two switches of the browser.
struct EngineState {
    std::atomic<int> deckStatus[2] = {kDeckEmpty, kDeckEmpty};
    std::atomic<int> deckRedraw{0};
    std::atomic<int> autoMixEnabled{0};
    std::atomic<int> autoBpmEnabled{0};
    // main: numbers the decks' loads in the order they were asked for.
    std::atomic<unsigned> loadsAsked{0};
    // Every deck request wakes the service thread with it.
    ServiceWake serviceWake;

    // Fixed before the audio thread starts.
    std::array<Deck*, 2> decks{};
    TrackInfoStore* store = nullptr;
    DeckEvents* events = nullptr;
    DeviceRest* deviceRest = nullptr;
    int32_t optimizedDetection = 1;  // the "Optimized beat detection" setting as stored
    bool useDirectSound = true;
    // A file still opening after this long is given up as one that cannot be opened.
    std::chrono::milliseconds loadTimeout{5000};
};
