#pragma once

#include <QRect>
#include <array>

#include "ui/PanelFormulas.h"

class Application;
class QPainter;

// Everything drawn in the lower half of the window: per deck the time, BPM and title panels, the
// needle on the disc, the pitch marker and text, and the mix pad shared by both decks. Each
// element restores its rectangle from the selected deck's skin into the back buffer, draws, and
// repaints its rectangle. Rectangles are in deck-area coordinates (screen y minus 300).
class DeckArea {
  public:
    static constexpr QRect kTimePanel[2] = {QRect(17, 10, 102, 56), QRect(680, 10, 102, 56)};
    static constexpr QRect kBpmPanel[2] = {QRect(174, 9, 108, 40), QRect(519, 9, 108, 40)};
    static constexpr QRect kTitlePanel[2] = {QRect(76, 262, 145, 26), QRect(577, 262, 145, 26)};
    static constexpr QRect kDisc[2] = {QRect(78, 71, 147, 147), QRect(574, 71, 147, 147)};
    static constexpr QRect kPitchText[2] = {QRect(200, 60, 36, 13), QRect(572, 60, 36, 13)};
    static constexpr QRect kMixPad = QRect(333, 78, 133, 133);

    // The page tab's rectangle in the tab strip (screen coordinates).
    static QRect tabRect(int page);
    // The pressed image of control i (deck-area coordinates; negative tops are window buttons).
    static QRect pressedRect(int i);

    explicit DeckArea(Application& app);

    // Timer 160: needles and time panels; pitch displays when a load asked for them.
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

    PanelPoint needleCache(int deck) const { return needles_[deck]; }

  private:
    void restore(const QRect& rect);
    void invalidate(const QRect& rect);
    void drawBpmPanel(int deck);

    Application& app_;
    std::array<PanelPoint, 2> needles_{{{73, 73}, {73, 73}}};
    std::array<PanelPoint, 2> markers_{{{0, 0}, {0, 0}}};
};
