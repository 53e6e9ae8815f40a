#pragma once

#include "engine/mix/DeckCommands.h"
#include "engine/panel/ControlGeometry.h"

class Deck;

// How the user plays the decks: the pointer on the skin's controls (with the pitch arc, mix pad
// and nudge drags), the keyboard and the joystick, each turned into deck requests and deck
// actions. Pointer positions are in window coordinates. Main thread.
class DeckControls {
  public:
    // What the controls read and change beyond the decks and the deck actions. Main thread.
    class Host {
      public:
        virtual ~Host() = default;
        virtual Deck& deck(int index) = 0;
        virtual int currentDeck() const = 0;
        // The mixing page (the beat view with its nudge strip) is shown.
        virtual bool onMixingPage() const = 0;
        // Both deck volumes as last set, 0 to 256.
        virtual VolumePair deckVolumes() const = 0;
        // A text box has the keyboard; Escape takes it away.
        virtual bool typing() const = 0;
        virtual void stopTyping() = 0;
        virtual void search() = 0;
        virtual void deleteSelectedRows() = 0;
        // Browser rows are being dragged; they are shown over, and dropped on, the decks.
        virtual bool draggingRows() const = 0;
        virtual void showDragCursor(int x, int y) = 0;
        virtual void dropRows(int x, int y) = 0;
        virtual void flashButton(int index) = 0;
        // Offers the tempo fixes for the deck's track at a point of the window.
        virtual void showBpmMenu(int deck, int x, int y) = 0;
        virtual void releaseButton() = 0;
        virtual bool buttonFlashed() const = 0;
        virtual void drawMixPad() = 0;
        virtual void minimiseWindow() = 0;
        virtual void closeWindow() = 0;
        virtual void showNudgeCursor() = 0;
        virtual void showArrowCursor() = 0;
        virtual bool joystickOpen() const = 0;
        // The volumes the stick's position (0 to 65535 both ways) stands for.
        virtual VolumePair joystickMix(int x, int y) const = 0;
        // The stick's ring on the mix pad moves there; false when it is there already.
        virtual bool moveJoystickRing(VolumePair volumes) = 0;
    };

    DeckControls(Host& host, DeckCommands& commands);

    // True when the key was taken (it then reaches no widget).
    bool onKeyDown(int key);
    void onButtonDown(bool left, int x, int y);
    void onPointerMove(int x, int y);
    void onButtonUp(int x, int y);
    // buttons: the pressed buttons' bits; x and y from 0 to 65535.
    void onJoystickMove(int buttons, int x, int y);
    void onJoystickButton(int flags);
    // Ends a drag on the mix pad: the automatic mix sets the volumes now.
    void cancelMixPadDrag() { mixPadDragging_ = false; }

  private:
    bool deckButtonDown(int deck, int x, int y);
    void upperButtonDown(bool left, int x, int y);
    void mixPadMove(int x, int y);

    Host& host_;
    DeckCommands& commands_;
    int nudgeDragDeck_ = -1;
    int nudgeLastX_ = 0;
    int pitchDragDeck_ = -1;
    bool mixPadDragging_ = false;
};
