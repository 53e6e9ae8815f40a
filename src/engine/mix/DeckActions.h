#pragma once

#include "engine/mix/DeckCommands.h"

class Deck;

// The deck actions on the two decks. What they change beyond the decks (the selection, the
// displays, the browser page, the automatic mix) goes through the host. Main thread.
class DeckActions : public DeckCommands {
  public:
    // What the actions need of the program around them. Main thread.
    class Host {
      public:
        virtual ~Host() = default;
        virtual Deck& deck(int index) = 0;
        // The cue output's level, 0 to 256, for the selected deck.
        virtual int cueVolume() const = 0;
        // The selection is stored and the deck area drawn again on its background.
        virtual void deckSelected(int deck) = 0;
        virtual void pitchChanged(int deck, int pitch) = 0;
        virtual void pageChosen(int page) = 0;
        virtual void volumesChanged(int deck0, int deck1) = 0;
        virtual void stopMix() = 0;
    };

    explicit DeckActions(Host& host);

    void setPitch(int deck, int pitch) override;
    bool syncTempo(int deck) override;
    void alignBeat(int deck) override;
    void alignBeatFine(int deck) override;
    void skipBeat(int deck) override;
    void selectDeck(int deck) override;
    void showBrowserPage(int page) override;
    void stopAutoMix() override;
    void setVolumes(int deck0, int deck1) override;

  private:
    // Moves the deck by the offset that brings its beat onto the other deck's; only small moves
    // when fine.
    void align(int deck, bool fine);

    Host& host_;
};
