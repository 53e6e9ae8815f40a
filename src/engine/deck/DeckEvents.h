#pragma once

// What the decks tell the window, from the audio thread. An implementation must return at once,
// without allocating, locking or waiting.
class DeckEvents {
  public:
    virtual ~DeckEvents() = default;
    // A deck passed 80 % of its track with "Auto Mix" on while the other was silent: mix into
    // this deck. Repeated at every service step while it holds.
    virtual void mixInto(int deck) = 0;
    // This deck's track reached its end.
    virtual void trackEnded(int deck) = 0;
    // The file this deck was asked to load was taken in and can play, or could not be opened.
    // Those who do not follow loads need not hear of them.
    virtual void trackLoaded(int /*deck*/) {}
    virtual void loadFailed(int /*deck*/) {}
};
