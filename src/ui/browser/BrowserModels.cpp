#include "ui/browser/BrowserModels.h"

#include <QBrush>
#include <algorithm>
#include <numeric>
#include <random>

#include "engine/library/TrackDatabase.h"
#include "engine/library/TrackItems.h"
#include "ui/browser/Collation.h"

namespace {

const char* const kItemHeaders[3] = {"Title", "Artist", "Bpm"};
const char* const kDatabaseHeaders[4] = {"Title", "Artist", "Disc", "Path"};

// Rows can be selected and dragged, nothing more.
Qt::ItemFlags rowFlags(const QModelIndex& index) {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled
                           : Qt::NoItemFlags;
}

// Where the persistent indexes (the selection, the focused row) go when the rows take the order
// given as old row numbers: they stay on their rows' contents, not on their row numbers.
QModelIndexList reordered(const QAbstractItemModel& model, const QModelIndexList& before,
                          const std::vector<int>& order) {
    std::vector<int> newRow(order.size());
    for (std::size_t row = 0; row < order.size(); ++row) {
        newRow[order[row]] = static_cast<int>(row);
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before) {
        after.push_back(model.index(newRow[old.row()], old.column()));
    }
    return after;
}

// The text a column shows for a database line whose track has the tags given (null: not known).
std::string shownText(std::string_view line, int column, const ArtistTitle* tags) {
    if (column > 1 || tags == nullptr) {
        return databaseColumnText(line, column);
    }
    BrowserItem item = databaseItem(line);
    nameItemFromTags(item, *tags);
    return column == 0 ? item.title : item.artist;
}

}  // namespace

ItemListModel::ItemListModel(const std::array<QIcon, 4>* images, QObject* parent)
    : QAbstractTableModel(parent), images_(images) {}

int ItemListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : size();
}

int ItemListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant ItemListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const Row& row = rows_[index.row()];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
            case 0:
                return QString::fromStdString(row.item->title);
            case 1:
                return QString::fromStdString(row.item->artist);
            default:
                return row.item->bpm == 0.0f ? QString() : QString::asprintf("%.1f", row.item->bpm);
        }
    }
    if (role == Qt::DecorationRole && index.column() == 0 && images_ != nullptr && row.image >= 0) {
        return (*images_)[row.image];
    }
    if (!row.problem.isEmpty() && role == Qt::ForegroundRole) {
        return QBrush(Qt::gray);
    }
    if (!row.problem.isEmpty() && role == Qt::ToolTipRole) {
        return row.problem;
    }
    return {};
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < 3) {
        return QString::fromLatin1(kItemHeaders[section]);
    }
    return {};
}

Qt::ItemFlags ItemListModel::flags(const QModelIndex& index) const {
    return rowFlags(index);
}

void ItemListModel::setImage(int row, int image) {
    rows_[row].image = image;
    emit dataChanged(index(row, 0), index(row, 0), {Qt::DecorationRole});
}

void ItemListModel::setUnplayable(int row, const QString& reason) {
    rows_[row].problem = reason;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1),
                     {Qt::ForegroundRole, Qt::ToolTipRole});
}

void ItemListModel::insert(int row, BrowserItem item, int image) {
    if (row < 0 || row > size()) {
        row = size();
    }
    beginInsertRows({}, row, row);
    rows_.insert(rows_.begin() + row,
                 Row{std::make_unique<BrowserItem>(std::move(item)), image, {}});
    endInsertRows();
}

std::unique_ptr<BrowserItem> ItemListModel::take(int row) {
    beginRemoveRows({}, row, row);
    std::unique_ptr<BrowserItem> item = std::move(rows_[row].item);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    return item;
}

void ItemListModel::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

// NOLINTNEXTLINE(performance-unnecessary-value-param): its items are moved from
void ItemListModel::reset(std::vector<std::pair<BrowserItem, int>> rows) {
    beginResetModel();
    rows_.clear();
    rows_.reserve(rows.size());
    for (auto& [item, image] : rows) {
        rows_.push_back(Row{std::make_unique<BrowserItem>(std::move(item)), image, {}});
    }
    endResetModel();
}

void ItemListModel::sortRows(
    const std::function<bool(const BrowserItem&, const BrowserItem&)>& less) {
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return less(*rows_[a].item, *rows_[b].item); });
    reorder(order);
}

void ItemListModel::sortRowsByText(
    const std::function<const std::string&(const BrowserItem&)>& textOf, bool descending) {
    reorder(collatedOrder(
        size(), [&](int row) { return QString::fromStdString(textOf(*rows_[row].item)); },
        descending));
}

void ItemListModel::shuffle() {
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(std::random_device{}()));
    reorder(order);
}

void ItemListModel::reorder(const std::vector<int>& order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (int row : order) {
        sorted.push_back(std::move(rows_[row]));
    }
    rows_ = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    changePersistentIndexList(before, reordered(*this, before, order));
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ItemListModel::trackAnalysed(const std::string& path, float bpm, int32_t dateStamp) {
    for (int row = 0; row < size(); ++row) {
        BrowserItem& item = *rows_[row].item;
        if (item.path != path || item.kind == BrowserItem::kPlaylistFile) {
            continue;
        }
        item.bpm = bpm;
        if (item.kind == BrowserItem::kUnknown) {
            item.kind = dateStamp;
            if (rows_[row].image != kNoImage) {
                rows_[row].image = listImage(item, false);
            }
        }
        emit dataChanged(index(row, 0), index(row, columnCount() - 1),
                         {Qt::DisplayRole, Qt::DecorationRole});
    }
}

bool ItemListModel::nameTrack(int row, const ArtistTitle& tags) {
    if (!nameItemFromTags(*rows_[row].item, tags)) {
        return false;
    }
    emit dataChanged(index(row, 0), index(row, 1), {Qt::DisplayRole});
    return true;
}

int DatabaseModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

int DatabaseModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant DatabaseModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    const std::string_view line = lines_[index.row()];
    const ArtistTitle* tags = nullptr;
    if (index.column() <= 1 && tagsOf_) {
        const std::string path = databasePath(line);
        tags = tagsOf_(path);
        if (tags == nullptr && wanted_) {
            wanted_(path);
        }
    }
    return QString::fromStdString(shownText(line, index.column(), tags));
}

QVariant DatabaseModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < 4) {
        return QString::fromLatin1(kDatabaseHeaders[section]);
    }
    return {};
}

Qt::ItemFlags DatabaseModel::flags(const QModelIndex& index) const {
    return rowFlags(index);
}

void DatabaseModel::setLines(std::vector<std::string_view> lines) {
    beginResetModel();
    lines_ = std::move(lines);
    endResetModel();
}

std::string DatabaseModel::columnText(int row, int column) const {
    return shownText(lines_[row], column, column <= 1 ? tagsOf(row) : nullptr);
}

const ArtistTitle* DatabaseModel::tagsOf(int row) const {
    return tagsOf_ ? tagsOf_(databasePath(lines_[row])) : nullptr;
}

void DatabaseModel::nameTracks(TagLookup tagsOf,
                               std::function<void(const std::string& path)> wanted) {
    tagsOf_ = std::move(tagsOf);
    wanted_ = std::move(wanted);
    namesChanged();
}

void DatabaseModel::namesChanged() {
    if (!lines_.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, 1), {Qt::DisplayRole});
    }
}

void DatabaseModel::sortLines(int column, bool descending) {
    // The tags are looked up here, on the main thread that owns them; the texts are made on the
    // sort's threads.
    std::vector<const ArtistTitle*> tags(lines_.size(), nullptr);
    if (column <= 1) {
        for (int row = 0; row < rowCount(); ++row) {
            tags[row] = tagsOf(row);
        }
    }
    const std::vector<int> order = collatedOrder(
        rowCount(),
        [&](int row) { return QString::fromStdString(shownText(lines_[row], column, tags[row])); },
        descending);
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<std::string_view> sorted;
    sorted.reserve(lines_.size());
    for (int row : order) {
        sorted.push_back(lines_[row]);
    }
    lines_ = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    changePersistentIndexList(before, reordered(*this, before, order));
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
