#include "ui/browser/Browser.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTreeWidget>
#include <algorithm>

#include "core/AtomicFile.h"
#include "engine/library/TrackDatabase.h"
#include "engine/library/TrackItems.h"
#include "engine/settings/Settings.h"
#include "ui/browser/BrowserModels.h"
#include "ui/browser/ListView.h"
#include "ui/browser/PageDisplay.h"
#include "ui/browser/RowDragging.h"
#include "ui/display/Skin.h"

namespace {

// The playlist kept from one run to the next.
constexpr const char* kKeptPlaylist = "playlist.m3u8";
const QColor kCoolGrey(192, 192, 192);

// The first settings key of each list's column widths.
constexpr int kFilesColumns = 0;
constexpr int kAutoMixColumns = 3;
constexpr int kPlaylistColumns = 6;
constexpr int kHistoryColumns = 9;
constexpr int kSearchColumns = 12;

}  // namespace

Browser::Browser(Ports ports)
    : ports_(ports),
      folders_(ports.settings.initialFolder, ports.commands),
      files_(ports.records),
      playlist_({ports.loading, ports.autoMix, *this, ports.dialogs, ports.failures, ports.records,
                 ports.commands}),
      search_(ports.commands, TrackDatabase::kFileName) {
    folders_.onFolderChosen = [this](const std::string& folder) { files_.listFolder(folder); };
    files_.isPlayed = [this](const std::string& title, const std::string& artist) {
        return playlist_.isInHistory(title, artist);
    };
    files_.onActivated = [this](const BrowserItem& item) { playlist_.activate(item); };
    search_.onActivated = [this](const BrowserItem& item) { playlist_.activate(item); };
    playlist_.onPlayedMark = [this](const std::string& title, const std::string& artist,
                                    bool played) { files_.setPlayedMark(title, artist, played); };
    const auto drag = [this](std::vector<BrowserItem> items) { beginDrag(std::move(items)); };
    files_.onDragged = drag;
    playlist_.onDragged = drag;
    search_.onDragged = drag;
}

Browser::~Browser() = default;

QWidget* Browser::control(int id) const {
    if (id == kHelpPicture) {
        return helpPicture_;
    }
    for (const BrowserPanel* panel :
         std::array<const BrowserPanel*, 4>{&folders_, &files_, &playlist_, &search_}) {
        if (QWidget* widget = panel->control(id)) {
            return widget;
        }
    }
    return nullptr;
}

void Browser::command(int id) {
    for (BrowserPanel* panel :
         std::array<BrowserPanel*, 4>{&folders_, &files_, &playlist_, &search_}) {
        if (panel->control(id) != nullptr) {
            panel->command(id);
            return;
        }
    }
}

// --- Building and the pages ------------------------------------------------------------------

const char* Browser::create(QWidget& window) {
    window_ = &window;
    bands_ = new QSplitter(Qt::Horizontal, &window);
    bands_->setGeometry(40, 74, 719, 205);
    bands_->setChildrenCollapsible(true);
    bands_->setHandleWidth(4);
    folders_.build(window, *bands_);
    files_.build(*bands_, &images_);
    playlist_.build(window, *bands_, &images_);
    for (QWidget* band : {control(kFolderTree), control(kFileList), control(kPlaylist)}) {
        band->setMinimumWidth(1);  // a band can be dragged as narrow as the user likes
        bands_->addWidget(band);
    }
    search_.build(window);
    helpPicture_ = new QLabel(&window);
    helpPicture_->setGeometry(40, 54, 719, 225);
    helpPicture_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    helpPicture_->setPixmap(QPixmap::fromImage(Skin::bitmap(160)));
    hideAll();

    // The bands: tree and file list of the files page, and the playlist.
    const auto& bandWidths = ports_.settings.bandWidths;
    bands_->setSizes({bandWidths[0], bandWidths[1], bandWidths[4]});

    // The four images of the lists, on pure blue.
    const QImage strip = Skin::bitmap(142);
    for (int i = 0; i < 4; ++i) {
        QPixmap image = QPixmap::fromImage(strip.copy(16 * i, 0, 16, 16));
        image.setMask(image.createMaskFromColor(QColor(0, 0, 255)));
        images_[i] = QIcon(image);
    }

    folders_.fill();
    applyColours();
    setColumnWidths(files_.view(), kFilesColumns);
    setColumnWidths(playlist_.playlistView(), kPlaylistColumns);
    setColumnWidths(playlist_.historyView(), kHistoryColumns);
    removeLeftoverTemporaries(kKeptPlaylist);
    playlist_.restore(kKeptPlaylist);
    setColumnWidths(search_.view(), kSearchColumns);
    created_ = true;
    return nullptr;
}

void Browser::hideAll() {
    for (int id : {kDesktopButton, kThisFolderButton, kAutoMixBox, kAutoBpmBox, kMixNowButton,
                   kLongMixButton, kShortMixButton, kShuffleButton, kRemovePlayedButton,
                   kSaveButton, kLoadButton, kHistoryList, kSearchButton, kSearchBox, kMatchCount,
                   kSearchList, kHelpPicture}) {
        control(id)->hide();
    }
    bands_->hide();  // with the tree, the file list and the playlist
}

void Browser::applyColours() {
    if (!ports_.settings.coolColor) {
        return;
    }
    for (int id : {kFileList, kPlaylist, kHistoryList, kSearchList, kFolderTree}) {
        QWidget* view = control(id);
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
        const int width = ports_.settings.columnWidths[firstKey + column];
        view.setColumnHidden(column, width <= 0);  // a width of 0 hides the column
        if (width > 0) {
            view.header()->resizeSection(column, width);
        }
    }
}

void Browser::keepColumnWidths(const ListView& view, int firstKey, int count) {
    for (int column = 0; column < count; ++column) {
        ports_.settings.columnWidths[firstKey + column] =
            view.isColumnHidden(column) ? 0 : view.header()->sectionSize(column);
    }
}

void Browser::saveWidths(int page) {
    const QList<int> sizes = bands_->sizes();
    const auto band = [&](int index) { return std::max(kMinimumBand, sizes.value(index)); };
    auto& bandWidths = ports_.settings.bandWidths;
    if (page == kFilesPage) {
        keepColumnWidths(files_.view(), kFilesColumns, 3);
        bandWidths[0] = band(0);
        bandWidths[1] = band(1);
    } else if (page == kAutoMixPage) {
        keepColumnWidths(files_.view(), kAutoMixColumns, 3);
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
    playlist_.keep(kKeptPlaylist);
    keepColumnWidths(playlist_.playlistView(), kPlaylistColumns, 3);
    keepColumnWidths(playlist_.historyView(), kHistoryColumns, 3);
    keepColumnWidths(search_.view(), kSearchColumns, 4);
    folders_.clear();
    dragItems_.clear();
    created_ = false;
}

void Browser::showPage(int newPage) {
    ports_.display.leavingPage(page_);
    saveWidths(page_);
    page_ = newPage;
    hideAll();
    layoutPage();
    if (page_ == kDatabasePage) {
        search_.searchBox().setFocus();
    }
    ports_.display.pageShown(page_);
}

void Browser::layoutPage() {
    const auto& bandWidths = ports_.settings.bandWidths;
    const auto show = [this](std::initializer_list<int> ids) {
        for (int id : ids) {
            control(id)->show();
        }
    };
    switch (page_) {
        case kFilesPage:
            control(kPlaylist)->hide();
            bands_->setSizes({bandWidths[0], bandWidths[1], 0});
            setColumnWidths(files_.view(), kFilesColumns);
            bands_->show();
            show({kDesktopButton, kThisFolderButton});
            break;
        case kAutoMixPage:
            control(kPlaylist)->show();
            bands_->setSizes({bandWidths[2], bandWidths[3], bandWidths[4]});
            setColumnWidths(files_.view(), kAutoMixColumns);
            playlist_.showMixState();
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

// --- The drag of rows and where the lists are -------------------------------------------------

void Browser::beginDrag(std::vector<BrowserItem> items) {
    dragItems_ = std::move(items);
    ports_.dragging.beginRowDrag(dragCount());
}

std::vector<BrowserItem> Browser::takeDragItems() {
    std::vector<BrowserItem> items = std::move(dragItems_);
    dragItems_.clear();
    return items;
}

BrowserItem Browser::itemForFile(const std::string& path) const {
    return ::itemForFile(ports_.records, path);
}

void Browser::nameTracks(ItemListModel& model, int first, int last, const TagLookup& tagsOf) {
    bool renamed = false;
    for (int row = first; row <= last; ++row) {
        const BrowserItem& item = model.item(row);
        if (item.kind == BrowserItem::kPlaylistFile) {
            continue;
        }
        const ArtistTitle* tags = tagsOf(item.path);
        if (tags == nullptr || !model.nameTrack(row, *tags)) {
            continue;
        }
        renamed = true;
        if (model.image(row) != ItemListModel::kNoImage &&
            playlist_.isInHistory(item.title, item.artist)) {
            model.setImage(row, 2);
        }
    }
    if (renamed && &model == &fileListModel()) {
        files_.sortNamesAgain();
    }
}

void Browser::nameTracks(const TagLookup& tagsOf) {
    // The history first: the other lists' rows are matched against its names.
    for (ItemListModel* model : {&historyModel(), &fileListModel(), &playlistModel()}) {
        nameTracks(*model, 0, model->size() - 1, tagsOf);
    }
}

QRect Browser::fileListArea() const {
    const QWidget* list = control(kFileList);
    if (!list->isVisible()) {
        return {};
    }
    return QRect(list->mapTo(window_, QPoint(0, 0)), list->size());
}

QRect Browser::playlistArea() const {
    const QWidget* list = control(kPlaylist);
    if (!list->isVisible()) {
        return {};
    }
    return QRect(list->mapTo(window_, QPoint(0, 0)), list->size());
}

int Browser::playlistDropIndex(QPoint windowPoint) const {
    const auto* list = static_cast<const ListView*>(control(kPlaylist));
    return list->rowAt(list->viewport()->mapFrom(window_, windowPoint));
}

int Browser::playlistSize() const {
    return playlist_.playlistSize();
}
