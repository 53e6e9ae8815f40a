#pragma once

#include <QRect>
#include <array>
#include <optional>
#include <vector>

#include "engine/deck/EngineState.h"
#include "engine/panel/ControlGeometry.h"
#include "engine/panel/PanelFormulas.h"

class Deck;
class QFont;
class QImage;
struct BrowserItem;
class Skin;

// A box of the deck area in screen coordinates as a rectangle of the deck area.
constexpr QRect deckAreaRect(const Box& box) {
    return QRect(QPoint(box.left, box.top - 300), QPoint(box.right, box.bottom - 300));
}

// Everything drawn in the lower half of the window: per deck the time, BPM and title panels, the
// needle on the disc, the pitch marker and text, and the mix pad shared by both decks. Each
// element restores its rectangle from the selected deck's skin into the back buffer, draws, and
// repaints its rectangle. Rectangles are in deck-area coordinates (screen y minus 300). Main
// thread.
class DeckArea {
  public:
    // What the deck area shows of the program around it. Main thread.
    class Host {
      public:
        virtual ~Host() = default;
        virtual Deck& deck(int index) = 0;
        virtual int currentDeck() const = 0;
        // False until the window is first activated, and while a full-screen window is in the
        // background: the periodic update then draws nothing.
        virtual bool windowActive() const = 0;
        // A load asked for the pitch displays to be drawn again.
        virtual bool pitchRedrawAsked() const = 0;
        virtual void pitchRedrawn() = 0;
        // The deck's DeckStatus, shown in its time panel in place of the times.
        virtual int deckStatus(int deck) const = 0;
        // The row last loaded onto the deck, or null.
        virtual const BrowserItem* loadedItem(int deck) const = 0;
        virtual VolumePair deckVolumes() const = 0;
        // Where the joystick's ring stands on the mix pad, when a joystick is open.
        virtual std::optional<VolumePair> joystickRing() const = 0;
        // Repaints a rectangle of the window (window coordinates).
        virtual void invalidate(const QRect& rect) = 0;
    };

    static constexpr QRect kTimePanel[2] = {QRect(17, 10, 102, 56), QRect(680, 10, 102, 56)};
    static constexpr QRect kBpmPanel[2] = {deckAreaRect(kBpmDisplay[0]),
                                           deckAreaRect(kBpmDisplay[1])};
    static constexpr QRect kTitlePanel[2] = {QRect(76, 262, 145, 26), QRect(577, 262, 145, 26)};
    static constexpr QRect kDisc[2] = {QRect(78, 71, 147, 147), QRect(574, 71, 147, 147)};
    static constexpr QRect kPitchText[2] = {QRect(200, 60, 36, 13), QRect(572, 60, 36, 13)};
    static constexpr QRect kMixPad = QRect(333, 78, 133, 133);

    // The page tab's rectangle in the tab strip (screen coordinates).
    static QRect tabRect(int page);
    // The pressed image of control i (deck-area coordinates; negative tops are window buttons).
    static QRect pressedRect(int i);

    // The deck area is drawn into rows 0 to 299 of the back buffer, with the skin and fonts given.
    DeckArea(Host& host, QImage& backBuffer, const Skin& skin, const QFont& smallFont,
             const QFont& mediumFont, const QFont& largeFont);

    // Every 100 ms: needles and time panels that changed; pitch displays when a load asked for
    // them.
    void periodicUpdate();
    void drawTimePanel(int deck);
    void drawTitlePanel(int deck);
    void drawNeedle(int deck);
    void drawPitch(int deck, int pitch);
    void drawMixPad();
    // The whole deck area on the selected deck's background, every element drawn again.
    void repaintAll();

    // Shows button i pressed, releasing any other first; releaseButton shows it up again.
    void flashButton(int i);
    void releaseButton();
    // The button shown pressed, or -1.
    int flashedButton() const { return flashed_; }

    PanelPoint needleCache(int deck) const { return needles_[deck]; }

  private:
    // What the time and BPM panels of a deck show.
    struct PanelTexts {
        int status = kDeckNormal;
        std::vector<PanelLine> times;
        std::vector<PanelLine> bpm;
        bool operator==(const PanelTexts&) const = default;
    };

    void restore(const QRect& rect);
    void invalidate(const QRect& rect);
    PanelTexts panelTexts(int deck) const;
    // The time panel alone.
    void drawTimes(int deck, const PanelTexts& texts);
    void drawBpmPanel(int deck, const std::vector<PanelLine>& lines);

    Host& host_;
    QImage& backBuffer_;
    const Skin& skin_;
    const QFont& smallFont_;
    const QFont& mediumFont_;
    const QFont& largeFont_;
    int flashed_ = -1;
    std::array<PanelPoint, 2> needles_{{{73, 73}, {73, 73}}};
    std::array<PanelPoint, 2> markers_{{{0, 0}, {0, 0}}};
    std::array<std::optional<PanelTexts>, 2> shownTexts_;
};
