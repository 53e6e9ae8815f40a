#include "ui/browser/SearchPanel.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/Messages.h"
#include "engine/library/Sorting.h"
#include "engine/library/TrackItems.h"
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
    QObject::connect(list_, &QAbstractItemView::doubleClicked, [this] {
        const QModelIndex focused = list_->currentIndex();
        if (focused.isValid() && onActivated) {
            onActivated(databaseItem(model_->line(focused.row())));
        }
    });
    QObject::connect(list_->header(), &QHeaderView::sectionClicked,
                     [this](int column) { sort(column); });

    if (database_.load(databaseFile_)) {
        searchWords_.clear();
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
    searchWords_ = searchWords(searchBox_->text().toStdString());
    searchBox_->selectAll();  // the next typing replaces it
    runSearch();
}

void SearchPanel::runSearch() {
    if (!database_.present()) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_->setLines(database_.search(searchWords_));
    matchCount_->setText(QStringLiteral("%1 matches").arg(model_->rowCount()));
    QApplication::restoreOverrideCursor();
}

QString SearchPanel::matchCountText() const {
    return matchCount_->text();
}

void SearchPanel::nameTracks(TagLookup tagsOf,
                             std::function<void(const std::string& path)> wanted) {
    model_->nameTracks(std::move(tagsOf), std::move(wanted));
}

void SearchPanel::namesChanged() {
    model_->namesChanged();
}

void SearchPanel::sort(int column) {
    sortKey_ = nextSortKey(column, sortKey_);
    const bool descending = sortKey_ != column;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_->sortLines(column, descending);
    QApplication::restoreOverrideCursor();
    showSortArrow(*list_, column, descending);
}

void SearchPanel::drag() {
    const std::vector<int> rows = selectedRows(*list_);
    if (rows.empty() || !onDragged) {
        return;
    }
    std::vector<BrowserItem> items;
    items.reserve(rows.size());
    for (int row : rows) {
        items.push_back(databaseItem(model_->line(row)));
    }
    onDragged(std::move(items));
}
