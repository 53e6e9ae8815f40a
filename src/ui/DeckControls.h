#pragma once

class Application;

// How the user plays the decks: the pointer on the skin's controls (with the pitch arc, mix pad
// and nudge drags), the keyboard and the joystick. Decks are driven only through their requests.
class DeckControls {
  public:
    explicit DeckControls(Application& app);

    // True when the key was taken (it then reaches no widget).
    bool onKeyDown(int key);
    void onButtonDown(bool left, int x, int y);
    void onPointerMove(int x, int y);
    void onButtonUp(int x, int y);
    void onJoystickMove(int buttons, int x, int y);
    void onJoystickButton(int flags);

    void setPitch(int deck, int pitch);
    bool syncTempo(int deck);
    void alignBeat(int deck);
    void alignBeatFine(int deck);
    void skipBeat(int deck);
    void selectDeck(int deck);
    void showBrowserPage(int page);
    // Stops a running automatic mix where it stands.
    void stopAutoMix();
    // Both deck volumes, as the mix pad and the joystick set them.
    void setVolumes(int deck0, int deck1);

  private:
    bool deckButtonDown(int deck, int x, int y);
    void upperButtonDown(bool left, int x, int y);
    void mixPadMove(int x, int y);
    // Moves the deck by the offset that brings its beat onto the other deck's; only small moves
    // when fine.
    void align(int deck, bool fine);

    Application& app_;
};
