#pragma once

#include <QCursor>
#include <QPoint>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/library/BrowserItem.h"
#include "engine/library/TrackItems.h"
#include "engine/mix/TrackDrop.h"

class Browser;
class DeckCommands;
class Dialogs;
class QWidget;
class Skin;
class Timers;
struct DeckUiState;
struct EngineState;

// How tracks reach the decks: loadTrack (with the 40-second history timer), and the drag of rows
// from the browser or of files from the desktop's file manager: the cursor that says whether the
// place takes them, and the drop onto a disc or into the playlist. Main thread.
class TrackLoader : private TrackDrop::Port {
  public:
    static constexpr int kHistoryDelay = 40000;  // ms
    static constexpr int kLoudVolume = 50;

    struct Parts {
        EngineState& engine;
        DeckUiState& state;
        Timers& timers;
        QWidget& window;
        Browser& browser;
        DeckCommands& commands;
        Dialogs& dialogs;
        const Skin& skin;
        // Told of each track given to a deck, once it holds it (the background analysis queues it,
        // its tags are read); may be empty.
        std::function<void(const BrowserItem&)> trackLoaded;
    };

    explicit TrackLoader(Parts parts);
    ~TrackLoader() override;

    // Loads the item's file into the deck; the caller keeps the item.
    void loadTrack(int deck, const BrowserItem& item);
    // The track last given to the deck, or null.
    const BrowserItem* loadedItem(int deck) const { return loaded_[deck].get(); }
    // The deck's track shows the names its tags give, when known; true when they changed.
    bool nameLoadedTrack(int deck, const TagLookup& tagsOf);
    // The deck's history timer fired: its track has played long enough to count as played.
    void historyDue(int deck);
    // The deck could not open its file: it never counts as played.
    void loadFailed(int deck);

    // Rows dragged out of a browser list: the drag cursor and the mouse grab until the drop.
    void beginRowDrag(int rows);
    void showDragCursor(int x, int y);
    // Ends the browser's drag at a point of the window.
    void dropBrowserItems(int x, int y);
    // Files dropped from the desktop onto the window (the playlist takes its own drops).
    void dropFiles(QPoint at, const std::vector<std::string>& paths);
    // Files handed over by another start of the program: onto the free decks (the selected one
    // first), the rest at the end of the playlist; a playlist file gives its entries.
    void openFiles(const std::vector<std::string>& paths);

  private:
    std::vector<BrowserItem> itemsForFiles(const std::vector<std::string>& paths) const;
    bool dropAllowed(int x, int y) const;
    void drop(std::vector<BrowserItem> items, int x, int y);

    bool deckIsFree(int deck) const override;
    bool loudlyPlaying(int deck) const override;
    bool confirmLoadOverMusic() override;
    void load(int deck, const BrowserItem& item) override;
    std::vector<BrowserItem> playlistEntries(const std::string& path) const override;
    void insertIntoPlaylist(int index, BrowserItem item) override;

    Parts parts_;
    TrackDrop dropping_;
    std::array<std::unique_ptr<BrowserItem>, 2> loaded_;
    std::array<bool, 2> historyRunning_{false, false};
    std::optional<QCursor> savedCursor_;
};
