#pragma once

#include "engine/deck/Deck.h"
#include "engine/mix/AutoMixLogic.h"

// The automatic mix's questions about the decks, answered by the decks themselves; the owner
// gives the decks and the rest of the port. Main thread.
class DecksPort : public AutoMixLogic::Port {
  public:
    bool playing(int deck) const final { return mixDeck(deck).playing(); }
    bool playable(int deck) const final { return mixDeck(deck).isPlayable(); }
    bool loading(int deck) const final { return mixDeck(deck).loadPending(); }
    int trackSeconds(int deck) const final { return mixDeck(deck).durationSeconds(); }
    bool pitchFromUser(int deck) const final { return mixDeck(deck).pitchFromUser(); }

  protected:
    virtual const Deck& mixDeck(int deck) const = 0;
};
