#pragma once

#include <QIcon>
#include <QRect>
#include <array>
#include <string>
#include <vector>

#include "engine/library/BrowserItem.h"
#include "engine/library/TrackItems.h"
#include "ui/browser/BrowserControls.h"
#include "ui/browser/BrowserPages.h"
#include "ui/browser/FileListPanel.h"
#include "ui/browser/FolderPanel.h"
#include "ui/browser/PageSwitcher.h"
#include "ui/browser/PlaylistPanel.h"
#include "ui/browser/SearchPanel.h"

class DatabaseModel;
class ItemListModel;
class ListView;
class PageDisplay;
class QLabel;
class QLineEdit;
class QSplitter;
class QTreeWidget;
class RowDragging;
struct Settings;

// The panel over the upper middle of the window, in six pages: the mixing view (no controls),
// the folder tree with the file list, the auto-mix page with the playlist, the history of played
// tracks, the search in the track database and the help picture. It shows one page at a time,
// hands each command to the panel that owns its control, keeps the column and band widths in the
// settings, and carries the rows dragged out of its lists. Main thread only.
class Browser : public PageSwitcher {
  public:
    using enum BrowserPage;
    using enum BrowserControl;

    static constexpr int kMinimumBand = 8;

    struct Ports {
        Settings& settings;
        PageDisplay& display;
        RowDragging& dragging;
        CommandSink& commands;
        TrackLoading& loading;
        AutoMixSwitches& autoMix;
        Dialogs& dialogs;
        SaveFailures& failures;
        const TrackRecords& records;
    };

    explicit Browser(Ports ports);
    ~Browser() override;

    // Builds every control on the window (hidden) and fills the tree and the search results; a
    // start-up error message, or null.
    const char* create(QWidget& window);
    // Keeps the column and band widths in the settings and frees everything.
    void destroy();
    void showPage(int page) override;
    int page() const override { return page_; }
    void command(int id);

    // Playlist and history.
    bool loadNextFromPlaylist(int deck) { return playlist_.loadNextFromPlaylist(deck); }
    bool returnUnplayable(int deck, const BrowserItem& item) {
        return playlist_.returnUnplayable(deck, item);
    }
    void addToHistory(const BrowserItem& loaded) { playlist_.addToHistory(loaded); }
    void deleteSelected() { playlist_.deleteSelected(); }
    std::vector<BrowserItem> readPlaylistFile(const std::string& path) const {
        return playlist_.readPlaylistFile(path);
    }
    // index -1, or past the end, appends.
    void insertPlaylistItem(int index, BrowserItem item) {
        playlist_.insertPlaylistItem(index, std::move(item));
    }
    // The item of a file dropped from the desktop: a playlist file or a track.
    BrowserItem itemForFile(const std::string& path) const;
    // The rows first to last of a list, or every row of the lists, show the names their tracks'
    // tags give where these are known; a row renamed as a track of the history is marked played,
    // and the file list sorted by a name takes its order again.
    void nameTracks(ItemListModel& model, int first, int last, const TagLookup& tagsOf);
    void nameTracks(const TagLookup& tagsOf);
    // The search results shown are named from their tracks' tags (SearchPanel::nameTracks).
    void nameSearchResults(TagLookup tagsOf, std::function<void(const std::string&)> wanted) {
        search_.nameTracks(std::move(tagsOf), std::move(wanted));
    }
    void searchNamesChanged() { search_.namesChanged(); }

    // The drag of rows.
    int dragCount() const { return static_cast<int>(dragItems_.size()); }
    std::vector<BrowserItem> takeDragItems();

    // Where things are, in window coordinates; empty when not shown.
    QRect fileListArea() const;
    QRect playlistArea() const;
    int playlistDropIndex(QPoint windowPoint) const;
    int playlistSize() const;

    // The auto-mix controls.
    bool shortMix() const { return playlist_.shortMix(); }
    void setMixNowPushed(bool pushed) { playlist_.setMixNowPushed(pushed); }

    // The track database.
    void clickSearchButton() { search_.clickSearchButton(); }
    QString matchCountText() const { return search_.matchCountText(); }

    // The folder tree.
    const std::string& rootFolder() const { return folders_.rootFolder(); }

    // For tests and the window's key handling.
    ListView& fileListView() { return files_.view(); }
    ListView& playlistView() { return playlist_.playlistView(); }
    ListView& historyView() { return playlist_.historyView(); }
    ListView& searchView() { return search_.view(); }
    QLineEdit& searchBox() { return search_.searchBox(); }
    QTreeWidget& folderTree() { return folders_.tree(); }
    ItemListModel& fileListModel() { return files_.model(); }
    ItemListModel& playlistModel() { return playlist_.playlistModel(); }
    ItemListModel& historyModel() { return playlist_.historyModel(); }
    DatabaseModel& searchModel() { return search_.model(); }
    QWidget* control(int id) const;

  private:
    void hideAll();
    void applyColours();
    void saveWidths(int page);
    void setColumnWidths(ListView& view, int firstKey);
    void keepColumnWidths(const ListView& view, int firstKey, int count);
    void layoutPage();
    void beginDrag(std::vector<BrowserItem> items);

    Ports ports_;
    FolderPanel folders_;
    FileListPanel files_;
    PlaylistPanel playlist_;
    SearchPanel search_;
    int page_ = kMixingPage;
    std::vector<BrowserItem> dragItems_;
    std::array<QIcon, 4> images_;
    bool created_ = false;
    QWidget* window_ = nullptr;
    QSplitter* bands_ = nullptr;
    QLabel* helpPicture_ = nullptr;
};
