#pragma once

#include <QIcon>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "engine/library/BrowserItem.h"
#include "ui/browser/BrowserPanel.h"

class AutoMixSwitches;
class CommandSink;
class Dialogs;
class ItemListModel;
class ListView;
class PageSwitcher;
class QCheckBox;
class QPushButton;
class QRadioButton;
class SaveFailures;
class TrackLoading;
class TrackRecords;

// The playlist with its auto-mix controls, and the history of the tracks played in this run. A
// playlist file in the playlist stands for its entries until it is loaded or saved. Main thread
// only.
class PlaylistPanel : public BrowserPanel {
  public:
    struct Ports {
        TrackLoading& loading;
        AutoMixSwitches& autoMix;
        PageSwitcher& pages;
        Dialogs& dialogs;
        SaveFailures& failures;
        const TrackRecords& records;
        CommandSink& commands;
    };

    explicit PlaylistPanel(Ports ports);

    // The playlist goes into bands, the rest onto the window, all hidden; the auto mix starts
    // off with its automatic BPM on and the short mix chosen. images: the four images of the rows.
    void build(QWidget& window, QWidget& bands, const std::array<QIcon, 4>* images);

    // With the auto mix on: the first playable row onto the deck (a playlist file gives its first
    // entries to this deck and to the other one while that is free); false when nothing was
    // loaded.
    bool loadNextFromPlaylist(int deck);
    // The deck could not open the item: when it is the row the deck last took from the playlist,
    // the row goes back to the top of the playlist, after the rows already there for the same
    // reason, marked unplayable (the auto mix passes it by), and true is returned.
    bool returnUnplayable(int deck, const BrowserItem& item);
    void addToHistory(const BrowserItem& loaded);
    // A row double-clicked in another list: onto a free deck, the working one first, or to the
    // end of the playlist when both decks hold tracks.
    void activate(const BrowserItem& item);
    // Deletes the selected rows of the playlist or the history, whichever has the focus.
    void deleteSelected();
    std::vector<BrowserItem> readPlaylistFile(const std::string& path) const;
    // The playlist kept from the last run, appended; entries whose file is gone are marked so.
    void restore(const std::string& path);
    // Writes the playlist's rows, a playlist file as its own path, for the next run; a failure is
    // said.
    void keep(const std::string& path);
    // index -1, or past the end, appends.
    void insertPlaylistItem(int index, BrowserItem item);
    bool isInHistory(const std::string& title, const std::string& artist) const;
    // Marks the playlist's rows of a track as played in this run, or not.
    void setPlayedMark(const std::string& title, const std::string& artist, bool played);
    int playlistSize() const;

    bool shortMix() const { return shortMix_; }
    void setMixNowPushed(bool pushed);
    // The mix-now button shows whether a mix runs.
    void showMixState();

    // The marks of a track in the history change, for the other lists to follow.
    std::function<void(const std::string& title, const std::string& artist, bool played)>
        onPlayedMark;
    // Rows dragged away: the playlist's leave it, the history's are copies.
    std::function<void(std::vector<BrowserItem> items)> onDragged;

    ListView& playlistView() { return *playlist_; }
    ListView& historyView() { return *history_; }
    ItemListModel& playlistModel() { return *playlistModel_; }
    ItemListModel& historyModel() { return *historyModel_; }
    QWidget* control(int id) const override;
    void command(int id) override;

  private:
    void activateRow(ListView& view);
    void activateItem(const BrowserItem& item, int row, bool fromPlaylist);
    void insertEntries(int index, std::vector<BrowserItem>& entries, std::size_t from);
    // The rows passed by as unplayable stand first; the size when there is no other.
    int firstPlayableRow() const;
    void dragFrom(ListView& view);
    void switchAutoMix();
    void removePlayed();
    void openPlaylist();
    void savePlaylist();
    // A track entry of a playlist: a missing file keeps the names of its path, without record.
    BrowserItem entryItem(const std::string& path) const;
    // The rows' paths; flattened, a playlist file gives its entries instead of its own path.
    std::vector<std::string> rowPaths(bool flattened) const;
    // Writes the lines to the playlist file at path; false, with the failure said, when it could
    // not.
    bool writePlaylist(const std::string& path, const std::vector<std::string>& lines);

    Ports ports_;
    std::array<std::string, 2> takenByDeck_;  // the path each deck last took from the playlist
    bool shortMix_ = true;
    ListView* playlist_ = nullptr;
    ListView* history_ = nullptr;
    ItemListModel* playlistModel_ = nullptr;
    ItemListModel* historyModel_ = nullptr;
    QCheckBox* autoMixBox_ = nullptr;
    QCheckBox* autoBpmBox_ = nullptr;
    QPushButton* mixNowButton_ = nullptr;
    QRadioButton* longMixButton_ = nullptr;
    QRadioButton* shortMixButton_ = nullptr;
    QPushButton* shuffleButton_ = nullptr;
    QPushButton* removePlayedButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* loadButton_ = nullptr;
};
