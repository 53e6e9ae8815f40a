#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "engine/library/BrowserItem.h"
#include "engine/library/TrackDatabase.h"
#include "engine/library/TrackItems.h"
#include "ui/browser/BrowserPanel.h"

class CommandSink;
class DatabaseModel;
class ListView;
class QLabel;
class QLineEdit;
class QPushButton;

// The search in the track database: the search box, its button, the match count and the
// results, sortable by their column headers. Main thread only.
class SearchPanel : public BrowserPanel {
  public:
    // databaseFile: the track database, read once when the panel is built.
    SearchPanel(CommandSink& commands, std::string databaseFile);

    // Builds the controls on the window, hidden, and lists every line of the database.
    void build(QWidget& window);
    // Searches for the box's text and selects it, so that the next typing replaces it.
    void clickSearchButton();
    QString matchCountText() const;
    // The results shown are named from their tags (see DatabaseModel::nameTracks). They keep
    // their order as tags arrive: rows jumping while a user reads them would be unusable.
    void nameTracks(TagLookup tagsOf, std::function<void(const std::string& path)> wanted);
    void namesChanged();

    // The selected results dragged away, as tracks named by their paths.
    std::function<void(std::vector<BrowserItem> items)> onDragged;
    // A result double-clicked, as its track.
    std::function<void(const BrowserItem& item)> onActivated;

    QLineEdit& searchBox() { return *searchBox_; }
    ListView& view() { return *list_; }
    DatabaseModel& model() { return *model_; }
    QWidget* control(int id) const override;
    void command(int id) override;

  private:
    void runSearch();
    void sort(int column);
    void drag();

    CommandSink& commands_;
    std::string databaseFile_;
    TrackDatabase database_;
    std::vector<std::string> searchWords_;
    int sortKey_ = 0;
    QPushButton* searchButton_ = nullptr;
    QLineEdit* searchBox_ = nullptr;
    QLabel* matchCount_ = nullptr;
    ListView* list_ = nullptr;
    DatabaseModel* model_ = nullptr;
};
