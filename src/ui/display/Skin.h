#pragma once

#include <QCursor>
#include <QImage>
#include <array>

// The pictures the program carries, loaded once at start-up from its resources.
class Skin {
  public:
    static constexpr const char* kLoadError = "Impossible to load the graphics";

    // Returns a start-up error message, or null.
    const char* load();

    QImage upper;        // 170: tabs, window buttons and the browser's field
    QImage pressedTabs;  // 169: the tab strip with every tab selected, window buttons pressed
    std::array<QImage, 2> deckArea;      // 166, 168: deck 0 or deck 1 selected
    std::array<QImage, 2> pressedDecks;  // 165, 167: pressed buttons, deck-area x 200 to 599
    QImage marker, markerMask;           // 150, 152
    QImage puck, puckMask;               // 161, 162

    // Five cursors: one or several items over a place that takes them or not, and the nudge.
    QCursor dragOne, dragSeveral, refuseOne, refuseSeveral, nudge;

    // The splash (164), loaded on its own: it is shown once and released.
    static QImage splash();
    // A bitmap of the browser by its resource number.
    static QImage bitmap(int id);
};
