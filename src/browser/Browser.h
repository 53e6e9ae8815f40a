#pragma once

#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "browser/BrowserItem.h"
#include "browser/TrackDatabase.h"

class Application;
class DatabaseModel;
class ItemListModel;
class ListView;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// The panel over the upper middle of the window, in six pages: the mixing view (no controls),
// the folder tree with the file list, the auto-mix page with the playlist, the history of played
// tracks, the search in the track database and the help picture.
class Browser {
  public:
    // Pages.
    static constexpr int kMixingPage = 0;
    static constexpr int kFilesPage = 1;
    static constexpr int kAutoMixPage = 2;
    static constexpr int kHistoryPage = 3;
    static constexpr int kDatabasePage = 4;
    static constexpr int kHelpPage = 5;

    // Control identifiers of the commands.
    static constexpr int kFolderTree = 130;
    static constexpr int kFileList = 131;
    static constexpr int kDesktopButton = 132;
    static constexpr int kThisFolderButton = 133;
    static constexpr int kPlaylist = 134;
    static constexpr int kAutoMixBox = 135;
    static constexpr int kAutoBpmBox = 136;
    static constexpr int kMixNowButton = 137;
    static constexpr int kLongMixButton = 138;
    static constexpr int kShortMixButton = 139;
    static constexpr int kShuffleButton = 140;
    static constexpr int kRemovePlayedButton = 141;
    static constexpr int kSaveButton = 142;
    static constexpr int kLoadButton = 143;
    static constexpr int kHistoryList = 144;
    static constexpr int kSearchButton = 145;
    static constexpr int kSearchBox = 146;
    static constexpr int kMatchCount = 147;
    static constexpr int kSearchList = 148;
    static constexpr int kHelpPicture = 158;

    static constexpr int kMinimumBand = 8;

    explicit Browser(Application& app);
    ~Browser();

    // Builds every control (hidden) and fills the tree and the search results; a start-up error
    // message, or null.
    const char* create();
    // Keeps the column and band widths in the settings and frees everything.
    void destroy();
    void showPage(int page);
    void command(int id);
    int page() const { return page_; }

    // Playlist and history.
    bool loadNextFromPlaylist(int deck);
    void addToHistory(int deck);
    void deleteSelected();
    std::vector<BrowserItem> readPlaylistFile(const std::string& path) const;
    // index -1, or past the end, appends.
    void insertPlaylistItem(int index, BrowserItem item);
    bool isInHistory(const std::string& title, const std::string& artist) const;
    void setPlayedMark(const std::string& title, const std::string& artist, bool played);
    // The item of a file dropped from the desktop: a playlist file or a track.
    BrowserItem itemForFile(const std::string& path) const;

    // The drag of rows.
    int dragCount() const { return static_cast<int>(dragItems_.size()); }
    std::vector<BrowserItem> takeDragItems();

    // Where things are, in window coordinates; empty when not shown.
    QRect fileListArea() const;
    QRect playlistArea() const;
    int playlistDropIndex(QPoint windowPoint) const;
    int playlistSize() const;

    // The auto-mix controls.
    bool shortMix() const { return shortMix_; }
    void setMixNowPushed(bool pushed);

    // The track database.
    void clickSearchButton();
    const TrackDatabase& database() const { return database_; }
    QString matchCountText() const;

    // The folder tree.
    const std::string& rootFolder() const;
    void listFolderOf(QTreeWidgetItem* item);

    // For tests and the window's key handling.
    ListView& fileListView() { return *fileList_; }
    ListView& playlistView() { return *playlist_; }
    ListView& historyView() { return *history_; }
    ListView& searchView() { return *searchList_; }
    QLineEdit& searchBox() { return *searchBox_; }
    QTreeWidget& folderTree() { return *folderTree_; }
    ItemListModel& fileListModel() { return *fileModel_; }
    ItemListModel& playlistModel() { return *playlistModel_; }
    ItemListModel& historyModel() { return *historyModel_; }
    DatabaseModel& searchModel() { return *searchModel_; }
    QSplitter& bands() { return *bands_; }
    QWidget* control(int id) const;

  private:
    void buildControls(QWidget* window);
    void applyColours();
    void saveWidths(int page);
    void setColumnWidths(ListView& view, int firstKey);
    void keepColumnWidths(const ListView& view, int firstKey, int count);
    void layoutPage();

    // Playlist and history.
    int imageFor(BrowserItem& item) const;
    void activateItem(ListView& view);
    void beginDrag(ListView& view);
    void insertEntries(int index, std::vector<BrowserItem>& entries, std::size_t from);
    void removePlayed();
    void openPlaylist();
    void savePlaylist();
    BrowserItem trackItem(const std::string& name, const std::string& path, int64_t size) const;

    // Track database.
    void runSearch();
    void sortFileList(int column);
    void sortSearchResults(int column);

    // Folder tree.
    void fillTree();
    void clearTree();
    QTreeWidgetItem* newFolderItem(const std::string& name, const std::string& path, bool desktop);
    void expandFolder(QTreeWidgetItem* item);
    void collapseFolder(QTreeWidgetItem* item);
    void listFolder(QTreeWidgetItem* item);
    void showDesktop();
    void showThisFolder();

    Application& app_;
    int page_ = kMixingPage;
    bool shortMix_ = true;
    std::vector<BrowserItem> dragItems_;
    bool treeClearing_ = false;
    int fileListSortKey_ = -1;
    int searchSortKey_ = 0;
    TrackDatabase database_;
    std::string searchText_;
    std::array<QIcon, 4> images_;
    bool created_ = false;

    QSplitter* bands_ = nullptr;
    QTreeWidget* folderTree_ = nullptr;
    ListView* fileList_ = nullptr;
    QPushButton* desktopButton_ = nullptr;
    QPushButton* thisFolderButton_ = nullptr;
    ListView* playlist_ = nullptr;
    QCheckBox* autoMixBox_ = nullptr;
    QCheckBox* autoBpmBox_ = nullptr;
    QPushButton* mixNowButton_ = nullptr;
    QRadioButton* longMixButton_ = nullptr;
    QRadioButton* shortMixButton_ = nullptr;
    QPushButton* shuffleButton_ = nullptr;
    QPushButton* removePlayedButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* loadButton_ = nullptr;
    ListView* history_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    QLineEdit* searchBox_ = nullptr;
    QLabel* matchCount_ = nullptr;
    ListView* searchList_ = nullptr;
    QLabel* helpPicture_ = nullptr;
    ItemListModel* fileModel_ = nullptr;
    ItemListModel* playlistModel_ = nullptr;
    ItemListModel* historyModel_ = nullptr;
    DatabaseModel* searchModel_ = nullptr;
};
