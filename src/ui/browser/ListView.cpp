#include "ui/browser/ListView.h"

#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <cstdio>

#include "engine/library/FolderSource.h"

ListView::ListView(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setMinimumSectionSize(0);
    header()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header(), &QHeaderView::customContextMenuRequested, this,
            [this](QPoint at) { columnMenu()->popup(header()->mapToGlobal(at)); });
}

QMenu* ListView::columnMenu() {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QHeaderView& columns = *header();
    for (int column = 0; column < columns.count(); ++column) {
        QAction* entry = menu->addAction(
            model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
        entry->setCheckable(true);
        entry->setChecked(columns.sectionSize(column) > 0);
        connect(entry, &QAction::toggled, this, [&columns, column](bool shown) {
            columns.resizeSection(column, shown ? columns.defaultSectionSize() : 0);
        });
    }
    return menu;
}

std::vector<std::string> droppedFiles(const QMimeData& data) {
    std::vector<std::string> paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            // Decoded from the URL's own escapes: a name that is not UTF-8 keeps its bytes.
            paths.push_back(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1())
                                .toStdString());
        }
    }
    std::vector<std::string> ignored;
    std::vector<std::string> playables = droppedPlayables(paths, ignored);
    for (const std::string& path : ignored) {
        std::fprintf(stderr, "spinora: not a track, a playlist or a folder, left out: %s\n",
                     path.c_str());
    }
    return playables;
}

int ListView::rowAt(QPoint viewportPoint) const {
    const QModelIndex index = indexAt(viewportPoint);
    return index.isValid() ? index.row() : model()->rowCount();
}

void ListView::startDrag(Qt::DropActions) {
    if (onDragStart) {
        onDragStart();
    }
}

void ListView::dragEnterEvent(QDragEnterEvent* event) {
    if (onFilesDropped && event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void ListView::dragMoveEvent(QDragMoveEvent* event) {
    if (onFilesDropped && event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void ListView::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = droppedFiles(*event->mimeData());
    if (onFilesDropped && !paths.empty()) {
        onFilesDropped(rowAt(event->position().toPoint()), paths);
        event->acceptProposedAction();
    }
}
