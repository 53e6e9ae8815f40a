#pragma once

#include <QPoint>
#include <string>
#include <vector>

#include "engine/library/BrowserItem.h"

class Application;

// How tracks reach the decks: loadTrack (with the 40-second history timer), and the end of a drag
// from the browser or from the desktop's file manager: the cursor that says whether the place
// takes the items, and the drop onto a disc or into the playlist.
class TrackLoader {
  public:
    static constexpr int kHistoryDelay = 40000;
    static constexpr int kLoudVolume = 50;

    explicit TrackLoader(Application& app);

    // Loads the item's file into the deck; the caller keeps the item.
    void loadTrack(int deck, const BrowserItem& item);
    void showDragCursor(int x, int y);
    // Ends the browser's drag at a point of the window.
    void dropBrowserItems(int x, int y);
    // Files dropped from the desktop onto the window (the playlist takes its own drops).
    void dropFiles(QPoint at, const std::vector<std::string>& paths);

  private:
    bool dropAllowed(int x, int y) const;
    bool loudlyPlaying(int deck) const;
    bool free(int deck) const;
    void drop(std::vector<BrowserItem> items, int x, int y);
    // Loads a dragged item into a deck (a playlist file: its first entries, the rest into the
    // playlist from index on); returns the insertion index after it.
    int loadOrExpand(int deck, const BrowserItem& item, int index, bool warnIfLoud);

    Application& app_;
};
