#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/library/BrowserItem.h"
#include "engine/library/TrackItems.h"

// The rows of the file list, the playlist or the history: each owns its BrowserItem and shows one
// of the four images (0 a track with an info record, 1 without, 2 played, 3 a playlist file) or
// none. Texts are asked for as the view paints: title, artist, BPM ("%.1f", empty for 0). A row
// whose file could not be opened, or is missing, is shown greyed with the reason as its tooltip.
class ItemListModel : public QAbstractTableModel {
  public:
    static constexpr int kNoImage = -1;

    ItemListModel(const std::array<QIcon, 4>* images, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int size() const { return static_cast<int>(rows_.size()); }
    BrowserItem& item(int row) { return *rows_[row].item; }
    const BrowserItem& item(int row) const { return *rows_[row].item; }
    int image(int row) const { return rows_[row].image; }
    void setImage(int row, int image);
    bool unplayable(int row) const { return !rows_[row].problem.isEmpty(); }
    // reason: why the file cannot be played, not empty.
    void setUnplayable(int row, const QString& reason);

    // row -1 or past the end appends.
    void insert(int row, BrowserItem item, int image);
    std::unique_ptr<BrowserItem> take(int row);
    void clear();
    // Replaces every row at once (a folder listing).
    void reset(std::vector<std::pair<BrowserItem, int>> rows);
    // Orders the rows; less(a, b) says a stands before b.
    void sortRows(const std::function<bool(const BrowserItem&, const BrowserItem&)>& less);
    // Orders the rows by a text of their items as the user's locale sorts names (collatedOrder).
    void sortRowsByText(const std::function<const std::string&(const BrowserItem&)>& textOf,
                        bool descending);
    // A uniform random order.
    void shuffle();
    // The track at path has just been analysed: its rows show the BPM, and a row of a track that
    // had no record shows it as known (dateStamp: the record's).
    void trackAnalysed(const std::string& path, float bpm, int32_t dateStamp);
    // The row shows the names its track's tags give; true when they changed.
    bool nameTrack(int row, const ArtistTitle& tags);

  private:
    // Puts the rows in the order given as old row numbers, first to last.
    void reorder(const std::vector<int>& order);

    struct Row {
        std::unique_ptr<BrowserItem> item;
        int image;
        QString problem;  // empty while the row is playable
    };
    const std::array<QIcon, 4>* images_;
    std::vector<Row> rows_;
};

// The rows of the search results: lines of the track database, shown by their four columns. Title
// and artist come from the tracks' tags where these are known, else from the file names.
class DatabaseModel : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void setLines(std::vector<std::string_view> lines);
    std::string_view line(int row) const { return lines_[row]; }
    // The text a column shows for a row.
    std::string columnText(int row, int column) const;
    // Orders the rows by the text of a column as the user's locale sorts names (collatedOrder).
    void sortLines(int column, bool descending);
    // Rows are named by tagsOf where it knows the tags; wanted is told of each track shown whose
    // tags it does not know, so that only the rows a user sees are read.
    void nameTracks(TagLookup tagsOf, std::function<void(const std::string& path)> wanted);
    // Tags read since: the rows shown are named again.
    void namesChanged();

  private:
    // Main thread: the tags' owner reads them there.
    const ArtistTitle* tagsOf(int row) const;

    std::vector<std::string_view> lines_;
    TagLookup tagsOf_;
    std::function<void(const std::string& path)> wanted_;
};
