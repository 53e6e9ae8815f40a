#pragma once

// The deck actions that the controls and the automatic mix share. Decks are 0 and 1; pitch in
// the deck's pitch units (4096 plays at the track's own speed); volumes from 0 (silent) to 256
// (full). Every function runs on the main thread.
class DeckCommands {
  public:
    virtual ~DeckCommands() = default;

    // Clamped to the deck's range and shown; nothing happens when the pitch is unchanged.
    virtual void setPitch(int deck, int pitch) = 0;
    // The deck takes the other deck's tempo, up or down an octave; false when no pitch in range
    // does it, and then the pitch is left as it was.
    virtual bool syncTempo(int deck) = 0;
    // Moves the deck so that its coming beat falls on the other deck's.
    virtual void alignBeat(int deck) = 0;
    // As alignBeat, but leaves a correction larger than a small one alone.
    virtual void alignBeatFine(int deck) = 0;
    // Moves the deck on by one beat, onto the other deck's beat.
    virtual void skipBeat(int deck) = 0;
    // The keyboard, the cue output and the deck area's background follow the selected deck.
    virtual void selectDeck(int deck) = 0;
    virtual void showBrowserPage(int page) = 0;
    // Stops a running automatic mix where it stands.
    virtual void stopAutoMix() = 0;
    // Both deck volumes, as the mix pad and the joystick set them.
    virtual void setVolumes(int deck0, int deck1) = 0;
};
