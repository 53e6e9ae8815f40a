#pragma once

#include <QIcon>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "engine/library/BrowserItem.h"
#include "ui/browser/BrowserPanel.h"

class ItemListModel;
class ListView;
class TrackRecords;

// The list of the playable files of the chosen folder, sortable by its column headers. Main
// thread only.
class FileListPanel : public BrowserPanel {
  public:
    explicit FileListPanel(const TrackRecords& records);

    // The list goes into bands, hidden with them; images: the four images of the rows.
    void build(QWidget& bands, const std::array<QIcon, 4>* images);
    // Lists a folder's playable files and playlist files by title; an empty path empties the list.
    void listFolder(const std::string& folder);
    // Names changed after the listing (tags read since): a list sorted by title or artist takes
    // its order again, the selection kept on its tracks.
    void sortNamesAgain();
    // Marks the rows of a track as played in this run, or not.
    void setPlayedMark(const std::string& title, const std::string& artist, bool played);

    // Whether a track was played in this run.
    std::function<bool(const std::string& title, const std::string& artist)> isPlayed;
    // A row double-clicked.
    std::function<void(const BrowserItem& item)> onActivated;
    // The selected rows dragged away (copies).
    std::function<void(std::vector<BrowserItem> items)> onDragged;

    ListView& view() { return *view_; }
    ItemListModel& model() { return *model_; }
    QWidget* control(int id) const override;
    void command(int) override {}

  private:
    void sort(int column);
    void applySort();

    const TrackRecords& records_;
    int sortKey_ = -1;
    int sortColumn_ = 0;
    ListView* view_ = nullptr;
    ItemListModel* model_ = nullptr;
};
