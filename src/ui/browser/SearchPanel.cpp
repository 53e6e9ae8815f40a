#include "ui/browser/SearchPanel.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/Messages.h"
#include "engine/library/ArtistTitle.h"
#include "engine/library/FolderSource.h"
#include "engine/library/Sorting.h"
#include "ui/browser/BrowserControls.h"
#include "ui/browser/BrowserModels.h"
#include "ui/browser/CommandSink.h"
#include "ui/browser/ListView.h"
#include "ui/browser/PanelWidgets.h"
#include "ui/display/Fonts.h"

namespace {

// Says when the search box gains or loses the keyboard focus, so that typing is not taken for
// the decks' keys.
class FocusWatcher : public QObject {
  public:
    FocusWatcher(CommandSink& commands, QObject* parent) : QObject(parent), commands_(commands) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            commands_.sendCommand(kSearchBox, event->type() == QEvent::FocusIn
                                                  ? msg::kEditGainedFocus
                                                  : msg::kEditLostFocus);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    CommandSink& commands_;
};

}  // namespace

SearchPanel::SearchPanel(CommandSink& commands, std::string databaseFile)
    : commands_(commands), databaseFile_(std::move(databaseFile)) {}

void SearchPanel::build(QWidget& window) {
    searchButton_ = pictureButton(window, commands_, kSearchButton, 148, QRect(40, 51, 105, 27),
                                  QStringLiteral("Search the track database"));
    searchBox_ = new QLineEdit(&window);
    searchBox_->setGeometry(156, 54, 437, 21);
    searchBox_->setMaxLength(255);
    searchBox_->installEventFilter(new FocusWatcher(commands_, searchBox_));
    matchCount_ = new QLabel(QStringLiteral("No CD listed"), &window);
    matchCount_->setGeometry(600, 58, 161, 13);
    matchCount_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    matchCount_->setFont(fittedFont(14, QStringLiteral("Auto BPM"), 52));  // as the auto-mix page
    list_ = new ListView(&window);
    model_ = new DatabaseModel(list_);
    list_->setModel(model_);
    list_->setGeometry(40, 86, 719, 193);
    list_->header()->setSectionsClickable(true);
    for (QWidget* control :
         {static_cast<QWidget*>(searchButton_), static_cast<QWidget*>(searchBox_),
          static_cast<QWidget*>(matchCount_), static_cast<QWidget*>(list_)}) {
        control->hide();
    }
    list_->onDragStart = [this] { drag(); };
    QObject::connect(list_->header(), &QHeaderView::sectionClicked,
                     [this](int column) { sort(column); });

    if (database_.load(databaseFile_)) {
        searchText_.clear();
        runSearch();
    }
}

QWidget* SearchPanel::control(int id) const {
    switch (id) {
        case kSearchButton:
            return searchButton_;
        case kSearchBox:
            return searchBox_;
        case kMatchCount:
            return matchCount_;
        case kSearchList:
            return list_;
        default:
            return nullptr;
    }
}

void SearchPanel::command(int id) {
    if (id == kSearchButton) {
        clickSearchButton();
    }
}

void SearchPanel::clickSearchButton() {
    searchText_ = searchText(searchBox_->text().toStdString());
    searchBox_->selectAll();  // the next typing replaces it
    runSearch();
}

void SearchPanel::runSearch() {
    if (!database_.present()) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_->setLines(database_.search(searchText_));
    matchCount_->setText(QStringLiteral("%1 matches").arg(model_->rowCount()));
    QApplication::restoreOverrideCursor();
}

QString SearchPanel::matchCountText() const {
    return matchCount_->text();
}

void SearchPanel::sort(int column) {
    sortKey_ = nextSortKey(column, sortKey_);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_->sortLines(sortKey_);
    QApplication::restoreOverrideCursor();
}

void SearchPanel::drag() {
    const std::vector<int> rows = selectedRows(*list_);
    if (rows.empty() || !onDragged) {
        return;
    }
    std::vector<BrowserItem> items;
    for (int row : rows) {
        const std::string_view line = model_->line(row);
        const std::size_t equals = line.find('=');
        const std::string path(equals == std::string_view::npos ? line : line.substr(equals + 1));
        ArtistTitle names = splitArtistTitle(fileNameOf(path));
        BrowserItem item;
        item.artist = std::move(names.artist);
        item.title = std::move(names.title);
        item.path = path;
        items.push_back(std::move(item));
    }
    onDragged(std::move(items));
}
