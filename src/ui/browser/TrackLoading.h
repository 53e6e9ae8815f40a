#pragma once

#include "engine/library/BrowserItem.h"

// How the browser puts tracks on the decks. Main thread only.
class TrackLoading {
  public:
    virtual ~TrackLoading() = default;
    // The deck the user works on, 0 or 1.
    virtual int workingDeck() const = 0;
    // True when the deck holds no track and none is on its way.
    virtual bool deckIsFree(int deck) const = 0;
    virtual void loadOntoDeck(int deck, const BrowserItem& item) = 0;
};
