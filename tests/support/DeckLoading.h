#pragma once

#include "Waiting.h"
#include "engine/deck/Deck.h"

// Files open on a loader thread. These wait for it, with a deadline, as the audio thread would.

// Until the file the deck was asked to load is opened (or no load is pending).
inline void awaitOpened(const Deck& deck) {
    waitFor([&] { return !deck.loadPending() || deck.loadReady(); });
}

// Takes the opened file in, as the deck's service step would; false when none came in time.
inline bool finishLoad(Deck& deck) {
    awaitOpened(deck);
    return deck.load();
}
