#include "ui/browser/FileListPanel.h"

#include <QHeaderView>

#include "engine/library/FolderSource.h"
#include "engine/library/Sorting.h"
#include "engine/library/TrackItems.h"
#include "ui/browser/BrowserControls.h"
#include "ui/browser/BrowserModels.h"
#include "ui/browser/ListView.h"
#include "ui/browser/PanelWidgets.h"

FileListPanel::FileListPanel(const TrackRecords& records) : records_(records) {}

void FileListPanel::build(QWidget& bands, const std::array<QIcon, 4>* images) {
    view_ = new ListView(&bands);
    model_ = new ItemListModel(images, view_);
    view_->setModel(model_);
    view_->header()->setSectionsClickable(true);
    view_->onDragStart = [this] {
        const std::vector<int> rows = selectedRows(*view_);
        if (rows.empty() || !onDragged) {
            return;
        }
        std::vector<BrowserItem> items;
        items.reserve(rows.size());
        for (int row : rows) {
            items.push_back(model_->item(row));
        }
        onDragged(std::move(items));
    };
    QObject::connect(view_, &QAbstractItemView::doubleClicked, [this] {
        const QModelIndex focused = view_->currentIndex();
        if (focused.isValid() && onActivated) {
            onActivated(model_->item(focused.row()));
        }
    });
    QObject::connect(view_->header(), &QHeaderView::sectionClicked,
                     [this](int column) { sort(column); });
}

QWidget* FileListPanel::control(int id) const {
    return id == kFileList ? view_ : nullptr;
}

void FileListPanel::listFolder(const std::string& folder) {
    std::vector<std::pair<BrowserItem, int>> rows;
    if (!folder.empty()) {
        for (const PlayableFile& file : playableFiles(folder)) {
            BrowserItem entry = file.size == PlayableFile::kPlaylistSize
                                    ? playlistFileItem(file.path)
                                    : trackItem(records_, file.name, file.path, file.size);
            if (entry.kind == BrowserItem::kPlaylistFile) {
                entry.title = file.name;
            }
            const bool played = isPlayed && isPlayed(entry.title, entry.artist);
            const int image = listImage(entry, played);
            rows.emplace_back(std::move(entry), image);
        }
    }
    model_->reset(std::move(rows));
    sortKey_ = -1;
    sort(0);
}

void FileListPanel::setPlayedMark(const std::string& title, const std::string& artist,
                                  bool played) {
    markPlayed(*model_, title, artist, played);
}

void FileListPanel::sort(int column) {
    sortKey_ = nextSortKey(column, sortKey_);
    sortColumn_ = column;
    applySort();
}

void FileListPanel::sortNamesAgain() {
    if (sortColumn_ == 0 || sortColumn_ == 1) {
        applySort();
    }
}

void FileListPanel::applySort() {
    const int column = sortColumn_;
    const bool reversed = sortKey_ != column;
    if (column == 2) {
        const int key = sortKey_;
        model_->sortRows([key](const BrowserItem& a, const BrowserItem& b) {
            return compareItems(a, b, key) < 0;
        });
        showSortArrow(*view_, column, !reversed);  // the fastest first, then the other way
        return;
    }
    model_->sortRowsByText(
        [column](const BrowserItem& item) -> const std::string& {
            return column == 0 ? item.title : item.artist;
        },
        reversed);
    showSortArrow(*view_, column, reversed);
}
