#include "browser/Browser.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>

#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "app/Messages.h"
#include "browser/ArtistTitle.h"
#include "browser/BrowserModels.h"
#include "browser/FolderSource.h"
#include "browser/ListView.h"
#include "browser/PlaylistFile.h"
#include "browser/Sorting.h"
#include "deck/Deck.h"
#include "deck/TrackInfoStore.h"
#include "display/Fonts.h"
#include "display/Screen.h"
#include "display/Skin.h"
#include "display/Surface.h"
#include "ui/AutoMixer.h"
#include "ui/TrackLoader.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDesktopRole = Qt::UserRole + 1;
constexpr const char* kDatabaseFile = "mp3DataBase.txt";
const QColor kCoolGrey(192, 192, 192);

// The first settings key of each list's column widths.
constexpr int kFilesColumns = 0;
constexpr int kAutoMixColumns = 3;
constexpr int kPlaylistColumns = 6;
constexpr int kHistoryColumns = 9;
constexpr int kSearchColumns = 12;

// Tells the application when the search box gains or loses the keyboard focus.
class FocusWatcher : public QObject {
  public:
    FocusWatcher(Application& app, QObject* parent) : QObject(parent), app_(app) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            const unsigned long code =
                event->type() == QEvent::FocusIn ? msg::kEditGainedFocus : msg::kEditLostFocus;
            app_.dispatch(msg::kCommand, (code << 16) | Browser::kSearchBox);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    Application& app_;
};

std::vector<int> selectedRows(const ListView& view) {
    std::vector<int> rows;
    for (const QModelIndex& index : view.selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::string folderPath(const QTreeWidgetItem& item) {
    return item.data(0, kPathRole).toByteArray().toStdString();
}

BrowserItem playlistFileItem(const std::string& path) {
    BrowserItem item;
    item.path = path;
    item.title = std::string(fileNameOf(path));
    item.kind = BrowserItem::kPlaylistFile;
    return item;
}

}  // namespace

Browser::Browser(Application& app) : app_(app) {}

Browser::~Browser() = default;

QWidget* Browser::control(int id) const {
    switch (id) {
        case kFolderTree:
            return folderTree_;
        case kFileList:
            return fileList_;
        case kDesktopButton:
            return desktopButton_;
        case kThisFolderButton:
            return thisFolderButton_;
        case kPlaylist:
            return playlist_;
        case kAutoMixBox:
            return autoMixBox_;
        case kAutoBpmBox:
            return autoBpmBox_;
        case kMixNowButton:
            return mixNowButton_;
        case kLongMixButton:
            return longMixButton_;
        case kShortMixButton:
            return shortMixButton_;
        case kShuffleButton:
            return shuffleButton_;
        case kRemovePlayedButton:
            return removePlayedButton_;
        case kSaveButton:
            return saveButton_;
        case kLoadButton:
            return loadButton_;
        case kHistoryList:
            return history_;
        case kSearchButton:
            return searchButton_;
        case kSearchBox:
            return searchBox_;
        case kMatchCount:
            return matchCount_;
        case kSearchList:
            return searchList_;
        case kHelpPicture:
            return helpPicture_;
        default:
            return nullptr;
    }
}

// --- Building and the pages ------------------------------------------------------------------

void Browser::buildControls(QWidget* window) {
    const auto commandOf = [this](int id) {
        return [this, id] { app_.dispatch(msg::kCommand, static_cast<unsigned long>(id)); };
    };
    const auto pictureButton = [&](int id, int bitmap, QRect rect) {
        auto* button = new QPushButton(window);
        button->setGeometry(rect);
        QImage picture = Skin::bitmap(bitmap);
        recolourBackground(picture, window->palette().button().color());
        button->setIcon(QIcon(QPixmap::fromImage(picture)));
        button->setIconSize(picture.size());
        button->setFocusPolicy(Qt::NoFocus);
        QObject::connect(button, &QPushButton::clicked, commandOf(id));
        return button;
    };
    const auto list = [&](QWidget* parent, ItemListModel** model, bool images) {
        auto* view = new ListView(parent);
        *model = new ItemListModel(images ? &images_ : nullptr, view);
        view->setModel(*model);
        return view;
    };

    bands_ = new QSplitter(Qt::Horizontal, window);
    bands_->setGeometry(40, 74, 719, 205);
    bands_->setChildrenCollapsible(true);
    bands_->setHandleWidth(4);
    folderTree_ = new QTreeWidget(bands_);
    folderTree_->setHeaderHidden(true);
    folderTree_->setSortingEnabled(false);
    fileList_ = list(bands_, &fileModel_, true);
    fileList_->header()->setSectionsClickable(true);
    desktopButton_ = pictureButton(kDesktopButton, 140, QRect(40, 50, 20, 20));
    thisFolderButton_ = pictureButton(kThisFolderButton, 139, QRect(68, 50, 20, 20));
    playlist_ = list(bands_, &playlistModel_, true);
    playlist_->header()->setSectionsClickable(false);
    for (QWidget* band : {static_cast<QWidget*>(folderTree_), static_cast<QWidget*>(fileList_),
                          static_cast<QWidget*>(playlist_)}) {
        band->setMinimumWidth(1);  // a band can be dragged as narrow as the user likes
        bands_->addWidget(band);
    }

    autoMixBox_ = new QCheckBox(QStringLiteral("Auto Mix"), window);
    autoMixBox_->setGeometry(240, 52, 80, 17);
    autoBpmBox_ = new QCheckBox(QStringLiteral("Auto BPM"), window);
    autoBpmBox_->setGeometry(332, 52, 73, 17);
    mixNowButton_ = new QPushButton(QStringLiteral("Mix Now !"), window);
    mixNowButton_->setGeometry(420, 50, 60, 20);
    mixNowButton_->setCheckable(true);
    longMixButton_ = new QRadioButton(QStringLiteral("Long mix"), window);
    longMixButton_->setGeometry(496, 59, 65, 12);
    shortMixButton_ = new QRadioButton(QStringLiteral("Short mix"), window);
    shortMixButton_->setGeometry(496, 46, 65, 12);
    for (QAbstractButton* button :
         {static_cast<QAbstractButton*>(autoMixBox_), static_cast<QAbstractButton*>(autoBpmBox_),
          static_cast<QAbstractButton*>(mixNowButton_),
          static_cast<QAbstractButton*>(longMixButton_),
          static_cast<QAbstractButton*>(shortMixButton_)}) {
        button->setFocusPolicy(Qt::NoFocus);
    }
    QObject::connect(autoMixBox_, &QCheckBox::clicked, commandOf(kAutoMixBox));
    QObject::connect(autoBpmBox_, &QCheckBox::clicked, commandOf(kAutoBpmBox));
    QObject::connect(mixNowButton_, &QPushButton::clicked, commandOf(kMixNowButton));
    QObject::connect(longMixButton_, &QRadioButton::clicked, commandOf(kLongMixButton));
    QObject::connect(shortMixButton_, &QRadioButton::clicked, commandOf(kShortMixButton));
    shuffleButton_ = pictureButton(kShuffleButton, 143, QRect(644, 50, 20, 20));
    removePlayedButton_ = pictureButton(kRemovePlayedButton, 144, QRect(672, 50, 20, 20));
    saveButton_ = pictureButton(kSaveButton, 146, QRect(704, 50, 20, 20));
    loadButton_ = pictureButton(kLoadButton, 145, QRect(732, 50, 20, 20));

    history_ = list(window, &historyModel_, false);
    history_->setGeometry(40, 54, 719, 225);
    history_->header()->setSectionsClickable(false);

    searchButton_ = pictureButton(kSearchButton, 148, QRect(40, 51, 105, 27));
    searchBox_ = new QLineEdit(window);
    searchBox_->setGeometry(156, 54, 437, 21);
    searchBox_->setMaxLength(255);
    searchBox_->installEventFilter(new FocusWatcher(app_, searchBox_));
    matchCount_ = new QLabel(QStringLiteral("No CD listed"), window);
    matchCount_->setGeometry(600, 58, 161, 13);
    matchCount_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    searchList_ = new ListView(window);
    searchModel_ = new DatabaseModel(searchList_);
    searchList_->setModel(searchModel_);
    searchList_->setGeometry(40, 86, 719, 193);
    searchList_->header()->setSectionsClickable(true);

    helpPicture_ = new QLabel(window);
    helpPicture_->setGeometry(40, 54, 719, 225);
    helpPicture_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    helpPicture_->setPixmap(QPixmap::fromImage(Skin::bitmap(160)));

    // The fonts of 18, 14 and 8 pixels, each fitted to the room its controls leave.
    mixNowButton_->setFont(fittedFont(18, mixNowButton_->text(), 54));
    const QFont medium = fittedFont(14, autoBpmBox_->text(), 52);
    autoMixBox_->setFont(medium);
    autoBpmBox_->setFont(medium);
    matchCount_->setFont(medium);
    const QFont small = fittedFont(8, shortMixButton_->text(), 48);
    longMixButton_->setFont(small);
    shortMixButton_->setFont(small);
    for (int id : {kDesktopButton, kThisFolderButton, kAutoMixBox, kAutoBpmBox, kMixNowButton,
                   kLongMixButton, kShortMixButton, kShuffleButton, kRemovePlayedButton,
                   kSaveButton, kLoadButton, kHistoryList, kSearchButton, kSearchBox, kMatchCount,
                   kSearchList, kHelpPicture}) {
        control(id)->hide();
    }
    bands_->hide();  // with the tree, the file list and the playlist
}

const char* Browser::create() {
    QWidget* window = app_.window();
    buildControls(window);

    // Wiring of the lists and the tree.
    for (ListView* view : {fileList_, playlist_, history_, searchList_}) {
        view->onDragStart = [this, view] { beginDrag(*view); };
    }
    for (ListView* view : {fileList_, playlist_, history_}) {
        QObject::connect(view, &QAbstractItemView::doubleClicked,
                         [this, view] { activateItem(*view); });
    }
    playlist_->onFilesDropped = [this](int row, const std::vector<std::string>& paths) {
        for (const std::string& path : paths) {
            insertPlaylistItem(row++, itemForFile(path));
        }
    };
    QObject::connect(fileList_->header(), &QHeaderView::sectionClicked,
                     [this](int column) { sortFileList(column); });
    QObject::connect(searchList_->header(), &QHeaderView::sectionClicked,
                     [this](int column) { sortSearchResults(column); });
    QObject::connect(folderTree_, &QTreeWidget::itemExpanded,
                     [this](QTreeWidgetItem* item) { expandFolder(item); });
    QObject::connect(folderTree_, &QTreeWidget::itemCollapsed,
                     [this](QTreeWidgetItem* item) { collapseFolder(item); });
    QObject::connect(folderTree_, &QTreeWidget::currentItemChanged,
                     [this](QTreeWidgetItem* item) { listFolder(item); });

    // The bands: tree and file list of the files page, and the playlist.
    const auto& bandWidths = app_.settings.bandWidths;
    bands_->setSizes({bandWidths[0], bandWidths[1], bandWidths[4]});

    app_.engine.autoMixEnabled = 0;
    app_.engine.autoBpmEnabled = 1;
    shortMix_ = true;
    autoMixBox_->setChecked(false);
    autoBpmBox_->setChecked(true);
    shortMixButton_->setChecked(true);
    longMixButton_->setChecked(false);

    // The four images of the lists, on pure blue.
    const QImage strip = Skin::bitmap(142);
    for (int i = 0; i < 4; ++i) {
        QPixmap image = QPixmap::fromImage(strip.copy(16 * i, 0, 16, 16));
        image.setMask(image.createMaskFromColor(QColor(0, 0, 255)));
        images_[i] = QIcon(image);
    }

    fillTree();
    applyColours();
    setColumnWidths(*fileList_, kFilesColumns);
    setColumnWidths(*playlist_, kPlaylistColumns);
    setColumnWidths(*history_, kHistoryColumns);
    setColumnWidths(*searchList_, kSearchColumns);

    if (database_.load(kDatabaseFile)) {
        searchText_.clear();
        runSearch();
    }
    created_ = true;
    return nullptr;
}

void Browser::applyColours() {
    if (!app_.settings.coolColor) {
        return;
    }
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(fileList_), static_cast<QAbstractItemView*>(playlist_),
          static_cast<QAbstractItemView*>(history_), static_cast<QAbstractItemView*>(searchList_),
          static_cast<QAbstractItemView*>(folderTree_)}) {
        QPalette palette = view->palette();
        palette.setColor(QPalette::Base, kCoolGrey);
        palette.setColor(QPalette::AlternateBase, kCoolGrey);
        palette.setColor(QPalette::Text, Qt::black);
        view->setPalette(palette);
    }
}

void Browser::setColumnWidths(ListView& view, int firstKey) {
    const int columns = view.model()->columnCount();
    for (int column = 0; column < columns; ++column) {
        const int width = app_.settings.columnWidths[firstKey + column];
        view.setColumnHidden(column, width <= 0);  // a width of 0 hides the column
        if (width > 0) {
            view.header()->resizeSection(column, width);
        }
    }
}

void Browser::keepColumnWidths(const ListView& view, int firstKey, int count) {
    for (int column = 0; column < count; ++column) {
        app_.settings.columnWidths[firstKey + column] =
            view.isColumnHidden(column) ? 0 : view.header()->sectionSize(column);
    }
}

void Browser::saveWidths(int page) {
    const QList<int> sizes = bands_->sizes();
    const auto band = [&](int index) { return std::max(kMinimumBand, sizes.value(index)); };
    auto& bandWidths = app_.settings.bandWidths;
    if (page == kFilesPage) {
        keepColumnWidths(*fileList_, kFilesColumns, 3);
        bandWidths[0] = band(0);
        bandWidths[1] = band(1);
    } else if (page == kAutoMixPage) {
        keepColumnWidths(*fileList_, kAutoMixColumns, 3);
        bandWidths[2] = band(0);
        bandWidths[3] = band(1);
        bandWidths[4] = band(2);
    }
}

void Browser::destroy() {
    if (!created_) {
        return;
    }
    saveWidths(page_);
    keepColumnWidths(*playlist_, kPlaylistColumns, 3);
    keepColumnWidths(*history_, kHistoryColumns, 3);
    keepColumnWidths(*searchList_, kSearchColumns, 4);
    clearTree();
    dragItems_.clear();
    created_ = false;
}

void Browser::showPage(int newPage) {
    if (page_ == kMixingPage && app_.screen() != nullptr) {
        app_.screen()->pauseRefresh();  // no frame is drawn over the controls
    }
    saveWidths(page_);
    page_ = newPage;
    for (int id : {kDesktopButton, kThisFolderButton, kAutoMixBox, kAutoBpmBox, kMixNowButton,
                   kLongMixButton, kShortMixButton, kShuffleButton, kRemovePlayedButton,
                   kSaveButton, kLoadButton, kHistoryList, kSearchButton, kSearchBox, kMatchCount,
                   kSearchList, kHelpPicture}) {
        control(id)->hide();
    }
    bands_->hide();
    layoutPage();
    if (app_.screen() != nullptr) {
        app_.screen()->refreshState = page_ == kMixingPage && app_.active ? 1 : 0;
    }
    if (page_ == kDatabasePage) {
        searchBox_->setFocus();
    }
    app_.invalidate(QRect(32, 46, 735, 243));
}

void Browser::layoutPage() {
    const auto& bandWidths = app_.settings.bandWidths;
    const auto show = [this](std::initializer_list<int> ids) {
        for (int id : ids) {
            control(id)->show();
        }
    };
    switch (page_) {
        case kFilesPage:
            playlist_->hide();
            bands_->setSizes({bandWidths[0], bandWidths[1], 0});
            setColumnWidths(*fileList_, kFilesColumns);
            bands_->show();
            show({kDesktopButton, kThisFolderButton});
            break;
        case kAutoMixPage:
            playlist_->show();
            bands_->setSizes({bandWidths[2], bandWidths[3], bandWidths[4]});
            setColumnWidths(*fileList_, kAutoMixColumns);
            setMixNowPushed(app_.autoMixTimer != 0);
            bands_->show();
            show({kDesktopButton, kThisFolderButton, kAutoMixBox, kAutoBpmBox, kMixNowButton,
                  kShuffleButton, kRemovePlayedButton, kSaveButton, kLoadButton, kLongMixButton,
                  kShortMixButton});
            break;
        case kHistoryPage:
            show({kHistoryList});
            break;
        case kDatabasePage:
            show({kSearchButton, kSearchBox, kMatchCount, kSearchList});
            break;
        case kHelpPage:
            show({kHelpPicture});
            break;
        default:
            break;
    }
}

void Browser::command(int id) {
    switch (id) {
        case kDesktopButton:
            showDesktop();
            break;
        case kThisFolderButton:
            showThisFolder();
            break;
        case kAutoMixBox: {
            const bool on = autoMixBox_->isChecked();
            app_.engine.autoMixEnabled = on ? 1 : 0;
            if (on) {
                const int selected = app_.selectedDeck;
                if (app_.deck(selected).isFree()) {
                    loadNextFromPlaylist(selected);
                }
                if (app_.deck(1 - selected).isFree()) {
                    loadNextFromPlaylist(1 - selected);
                }
            }
            break;
        }
        case kAutoBpmBox:
            app_.engine.autoBpmEnabled = autoBpmBox_->isChecked() ? 1 : 0;
            break;
        case kMixNowButton:
            if (page_ == kAutoMixPage) {
                app_.autoMix().mixNow();
            }
            setMixNowPushed(app_.autoMixTimer != 0);
            break;
        case kLongMixButton:
        case kShortMixButton:
            shortMix_ = shortMixButton_->isChecked();
            break;
        case kShuffleButton:
            playlistModel_->shuffle();
            break;
        case kRemovePlayedButton:
            removePlayed();
            break;
        case kSaveButton:
            savePlaylist();
            break;
        case kLoadButton:
            openPlaylist();
            break;
        case kSearchButton:
            clickSearchButton();
            break;
        default:
            break;
    }
}

void Browser::setMixNowPushed(bool pushed) {
    if (mixNowButton_ != nullptr) {
        mixNowButton_->setChecked(pushed);
    }
}

QRect Browser::fileListArea() const {
    if (!fileList_->isVisible()) {
        return {};
    }
    return QRect(fileList_->mapTo(app_.window(), QPoint(0, 0)), fileList_->size());
}

QRect Browser::playlistArea() const {
    if (!playlist_->isVisible()) {
        return {};
    }
    return QRect(playlist_->mapTo(app_.window(), QPoint(0, 0)), playlist_->size());
}

int Browser::playlistDropIndex(QPoint windowPoint) const {
    return playlist_->rowAt(playlist_->viewport()->mapFrom(app_.window(), windowPoint));
}

int Browser::playlistSize() const {
    return playlistModel_->size();
}

// --- Playlist and history -----------------------------------------------------------------

bool Browser::isInHistory(const std::string& title, const std::string& artist) const {
    for (int row = 0; row < historyModel_->size(); ++row) {
        const BrowserItem& played = historyModel_->item(row);
        if (played.title == title && played.artist == artist) {
            return true;
        }
    }
    return false;
}

int Browser::imageFor(BrowserItem& item) const {
    if (item.kind == BrowserItem::kPlaylistFile) {
        return 3;
    }
    if (isInHistory(item.title, item.artist)) {
        item.kind = BrowserItem::kPlayed;
        return 2;
    }
    return item.kind == BrowserItem::kUnknown ? 1 : 0;
}

void Browser::setPlayedMark(const std::string& title, const std::string& artist, bool played) {
    for (ItemListModel* model : {fileModel_, playlistModel_}) {
        for (int row = 0; row < model->size(); ++row) {
            const BrowserItem& item = model->item(row);
            if (item.kind != BrowserItem::kPlaylistFile && item.title == title &&
                item.artist == artist) {
                model->setImage(row, played ? 2 : 0);
            }
        }
    }
}

BrowserItem Browser::trackItem(const std::string& name, const std::string& path,
                               int64_t size) const {
    TrackInfoRecord record;
    app_.store().lookup(path, static_cast<int32_t>(static_cast<uint32_t>(size)), record);
    ArtistTitle names = splitArtistTitle(name);
    BrowserItem item;
    item.artist = std::move(names.artist);
    item.title = std::move(names.title);
    item.path = path;
    item.bpm = record.bpm;
    item.kind = record.dateStamp;
    return item;
}

BrowserItem Browser::itemForFile(const std::string& path) const {
    if (fileKindOf(path) == FileKind::kPlaylist) {
        return playlistFileItem(path);
    }
    std::error_code error;
    const auto size = fs::file_size(path, error);
    return trackItem(std::string(fileNameOf(path)), path, error ? 0 : static_cast<int64_t>(size));
}

std::vector<BrowserItem> Browser::readPlaylistFile(const std::string& path) const {
    std::vector<BrowserItem> items;
    for (const std::string& entry : readPlaylistEntries(path)) {
        BrowserItem item;
        std::error_code error;
        const auto size = fs::file_size(entry, error);
        if (!error) {
            item = trackItem(std::string(fileNameOf(entry)), entry, static_cast<int64_t>(size));
            if (isInHistory(item.title, item.artist)) {
                item.kind = BrowserItem::kPlayed;
            }
        } else {
            // A missing file stays an entry, without BPM or record.
            ArtistTitle names = splitArtistTitle(fileNameOf(entry));
            item.artist = std::move(names.artist);
            item.title = std::move(names.title);
            item.path = entry;
        }
        items.push_back(std::move(item));
    }
    return items;
}

void Browser::insertPlaylistItem(int index, BrowserItem item) {
    const int image = imageFor(item);
    playlistModel_->insert(index, std::move(item), image);
}

void Browser::insertEntries(int index, std::vector<BrowserItem>& entries, std::size_t from) {
    for (std::size_t i = from; i < entries.size(); ++i) {
        insertPlaylistItem(index++, std::move(entries[i]));
    }
}

bool Browser::loadNextFromPlaylist(int deck) {
    if (!app_.engine.autoMixEnabled || playlistModel_->size() == 0) {
        return false;
    }
    TrackLoader& loader = app_.loader();
    const BrowserItem first = playlistModel_->item(0);
    if (first.kind == BrowserItem::kPlaylistFile) {
        std::vector<BrowserItem> entries = readPlaylistFile(first.path);
        std::size_t next = 0;
        if (next < entries.size()) {
            loader.loadTrack(deck, entries[next++]);
        }
        if (next < entries.size() && app_.deck(1 - deck).isFree()) {
            loader.loadTrack(1 - deck, entries[next++]);
        }
        insertEntries(1, entries, next);
    } else {
        loader.loadTrack(deck, first);
    }
    playlistModel_->take(0);
    return true;
}

void Browser::addToHistory(int deck) {
    const BrowserItem* loaded = app_.lastLoadedItem[deck].get();
    if (loaded == nullptr) {
        return;
    }
    historyModel_->insert(-1, *loaded, ItemListModel::kNoImage);
    setPlayedMark(loaded->title, loaded->artist, true);
}

void Browser::activateItem(ListView& view) {
    const QModelIndex focused = view.currentIndex();
    if (!focused.isValid()) {
        return;
    }
    auto& model = static_cast<ItemListModel&>(*view.model());
    const int row = focused.row();
    const BrowserItem item = model.item(row);
    const bool fromPlaylist = &view == playlist_;
    TrackLoader& loader = app_.loader();
    const int selected = app_.selectedDeck;
    if (item.kind == BrowserItem::kPlaylistFile) {
        std::vector<BrowserItem> entries = readPlaylistFile(item.path);
        std::size_t next = 0;
        int insertAt = playlistModel_->size();
        if (fromPlaylist) {
            insertAt = row;
        } else {
            if (next < entries.size() && app_.deck(selected).isFree()) {
                loader.loadTrack(selected, entries[next++]);
            }
            if (next < entries.size() && app_.deck(1 - selected).isFree()) {
                loader.loadTrack(1 - selected, entries[next++]);
            }
        }
        insertEntries(insertAt, entries, next);
        if (fromPlaylist) {
            playlistModel_->take(row + static_cast<int>(entries.size() - next));
        }
        return;
    }
    if (app_.deck(selected).isFree()) {
        loader.loadTrack(selected, item);
    } else if (app_.deck(1 - selected).isFree()) {
        loader.loadTrack(1 - selected, item);
    } else {
        if (!fromPlaylist) {
            insertPlaylistItem(-1, item);
        }
        return;  // both decks hold tracks: a playlist row stays where it is
    }
    if (fromPlaylist) {
        playlistModel_->take(row);
    }
}

void Browser::beginDrag(ListView& view) {
    const std::vector<int> rows = selectedRows(view);
    if (rows.empty()) {
        return;
    }
    dragItems_.clear();
    if (&view == searchList_) {
        for (int row : rows) {
            const std::string_view line = searchModel_->line(row);
            const std::size_t equals = line.find('=');
            const std::string path(equals == std::string_view::npos ? line
                                                                    : line.substr(equals + 1));
            ArtistTitle names = splitArtistTitle(fileNameOf(path));
            BrowserItem item;
            item.artist = std::move(names.artist);
            item.title = std::move(names.title);
            item.path = path;
            dragItems_.push_back(std::move(item));
        }
    } else if (&view == playlist_) {
        // The rows move: they leave the playlist now.
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            dragItems_.insert(dragItems_.begin(), *playlistModel_->take(*row));
        }
    } else {
        auto& model = static_cast<ItemListModel&>(*view.model());
        for (int row : rows) {
            dragItems_.push_back(model.item(row));
        }
    }
    MainWindow* window = app_.window();
    app_.savedCursor = window->cursor();
    app_.showCursor(dragItems_.size() > 1 ? app_.skin.dragSeveral : app_.skin.dragOne);
    window->grabMouse();
}

std::vector<BrowserItem> Browser::takeDragItems() {
    std::vector<BrowserItem> items = std::move(dragItems_);
    dragItems_.clear();
    return items;
}

void Browser::deleteSelected() {
    QWidget* focus = QApplication::focusWidget();
    if (focus == playlist_) {
        const std::vector<int> rows = selectedRows(*playlist_);
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            playlistModel_->take(*row);
        }
    } else if (focus == history_) {
        const std::vector<int> rows = selectedRows(*history_);
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            const BrowserItem& item = historyModel_->item(*row);
            setPlayedMark(item.title, item.artist, false);
            historyModel_->take(*row);
        }
    }
}

void Browser::removePlayed() {
    for (int row = playlistModel_->size() - 1; row >= 0; --row) {
        const BrowserItem& item = playlistModel_->item(row);
        if (isInHistory(item.title, item.artist)) {
            playlistModel_->take(row);
        }
    }
}

void Browser::openPlaylist() {
    const QString path = app_.dialogs().openFile(QStringLiteral("Open a Playlist"),
                                                 QStringLiteral("Playlist (*.m3u *.pls)"));
    if (!path.isEmpty()) {
        insertPlaylistItem(-1, playlistFileItem(path.toStdString()));
    }
    showPage(page_);
}

void Browser::savePlaylist() {
    const QString chosen =
        app_.dialogs().saveFile(QStringLiteral("Save a Playlist"),
                                QStringLiteral("Playlist (*.m3u)"), QStringLiteral("m3u"));
    if (!chosen.isEmpty()) {
        const std::string path = chosen.toStdString();
        // Playlist files are flattened one level: their entries are written, not their path.
        std::vector<std::string> lines;
        for (int row = 0; row < playlistModel_->size(); ++row) {
            const BrowserItem& item = playlistModel_->item(row);
            if (item.kind == BrowserItem::kPlaylistFile) {
                for (const BrowserItem& entry : readPlaylistFile(item.path)) {
                    lines.push_back(entry.path);
                }
            } else {
                lines.push_back(item.path);
            }
        }
        if (const std::string* broken = entryWithLineBreak(lines)) {
            app_.saveFailed(QStringLiteral("The playlist was not saved: the file name \"%1\" holds "
                                           "a line break, which a playlist line cannot hold.")
                                .arg(QString::fromStdString(*broken)));
        } else if (const std::error_code error = writeM3u(path, lines)) {
            app_.saveFailed(QStringLiteral("The playlist %1 could not be saved: %2.")
                                .arg(chosen, QString::fromStdString(error.message())));
        } else {
            playlistModel_->clear();
            insertPlaylistItem(0, playlistFileItem(path));
        }
    }
    showPage(page_);
}

// --- Track database -------------------------------------------------------------------------

void Browser::clickSearchButton() {
    searchText_ = searchText(searchBox_->text().toStdString());
    searchBox_->selectAll();  // the next typing replaces it
    runSearch();
}

void Browser::runSearch() {
    if (!database_.present()) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    searchModel_->setLines(database_.search(searchText_));
    matchCount_->setText(QStringLiteral("%1 matches").arg(searchModel_->rowCount()));
    QApplication::restoreOverrideCursor();
}

QString Browser::matchCountText() const {
    return matchCount_->text();
}

void Browser::sortFileList(int column) {
    fileListSortKey_ = nextSortKey(column, fileListSortKey_);
    const int key = fileListSortKey_;
    fileModel_->sortRows(
        [key](const BrowserItem& a, const BrowserItem& b) { return compareItems(a, b, key) < 0; });
}

void Browser::sortSearchResults(int column) {
    searchSortKey_ = nextSortKey(column, searchSortKey_);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    searchModel_->sortLines(searchSortKey_);
    QApplication::restoreOverrideCursor();
}

// --- Folder tree and file list ------------------------------------------------------------

const std::string& Browser::rootFolder() const {
    return app_.settings.initialFolder;
}

QTreeWidgetItem* Browser::newFolderItem(const std::string& name, const std::string& path,
                                        bool desktop) {
    static const QFileIconProvider icons;
    // The path stays bytes: a name that is not UTF-8 is shown with replacement characters but
    // opened by its own bytes.
    auto* item =
        new QTreeWidgetItem(QStringList(QFile::decodeName(QByteArray::fromStdString(name))));
    item->setData(0, kPathRole, QByteArray::fromStdString(path));
    item->setData(0, kDesktopRole, desktop);
    item->setIcon(0, icons.icon(desktop ? QFileIconProvider::Computer : QFileIconProvider::Folder));
    item->setChildIndicatorPolicy(desktop || hasSubfolders(path)
                                      ? QTreeWidgetItem::ShowIndicator
                                      : QTreeWidgetItem::DontShowIndicator);
    return item;
}

void Browser::fillTree() {
    std::string& root = app_.settings.initialFolder;
    std::error_code error;
    QTreeWidgetItem* top = nullptr;
    if (!root.empty() && fs::is_directory(root, error)) {
        const std::string name = root == "/" ? "File System" : fs::path(root).filename().string();
        top = newFolderItem(name.empty() ? root : name, root, false);
    } else {
        root.clear();  // unreachable: the desktop, which is never stored
        top = newFolderItem("Desktop", "", true);
    }
    folderTree_->addTopLevelItem(top);
    top->setExpanded(true);
    folderTree_->setCurrentItem(top);
}

void Browser::clearTree() {
    listFolder(nullptr);
    treeClearing_ = true;
    folderTree_->clear();
    treeClearing_ = false;
}

void Browser::expandFolder(QTreeWidgetItem* item) {
    if (item->childCount() > 0) {
        return;
    }
    std::vector<FolderEntry> children =
        item->data(0, kDesktopRole).toBool() ? desktopFolders() : subfolders(folderPath(*item));
    std::stable_sort(children.begin(), children.end(),
                     [](const auto& a, const auto& b) { return compareText(a.name, b.name) < 0; });
    folderTree_->setUpdatesEnabled(false);
    for (const FolderEntry& child : children) {
        item->addChild(newFolderItem(child.name, child.path, false));
    }
    folderTree_->setUpdatesEnabled(true);
}

void Browser::collapseFolder(QTreeWidgetItem* item) {
    // The next expansion lists the folder again, with what changed in between.
    treeClearing_ = true;
    for (QTreeWidgetItem* child : item->takeChildren()) {
        delete child;
    }
    treeClearing_ = false;
}

void Browser::listFolderOf(QTreeWidgetItem* item) {
    listFolder(item);
}

void Browser::listFolder(QTreeWidgetItem* item) {
    if (treeClearing_) {
        return;
    }
    std::vector<std::pair<BrowserItem, int>> rows;
    if (item != nullptr && !item->data(0, kDesktopRole).toBool()) {
        for (const PlayableFile& file : playableFiles(folderPath(*item))) {
            BrowserItem entry = file.size == PlayableFile::kPlaylistSize
                                    ? playlistFileItem(file.path)
                                    : trackItem(file.name, file.path, file.size);
            if (entry.kind == BrowserItem::kPlaylistFile) {
                entry.title = file.name;
            }
            const int image = imageFor(entry);
            rows.emplace_back(std::move(entry), image);
        }
    }
    fileModel_->reset(std::move(rows));
    fileListSortKey_ = -1;
    fileModel_->sortRows(
        [](const BrowserItem& a, const BrowserItem& b) { return compareItems(a, b, -1) < 0; });
}

void Browser::showDesktop() {
    app_.settings.initialFolder.clear();
    clearTree();
    fillTree();
}

void Browser::showThisFolder() {
    QTreeWidgetItem* selected = folderTree_->currentItem();
    if (selected == nullptr || selected->parent() == nullptr) {
        return;
    }
    app_.settings.initialFolder = folderPath(*selected);
    clearTree();
    fillTree();
}
