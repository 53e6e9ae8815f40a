#include "browser/ListView.h"

#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMimeData>

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
}

QStringList droppedFiles(const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            paths.push_back(url.toLocalFile());
        }
    }
    return paths;
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
    const QStringList paths = droppedFiles(*event->mimeData());
    if (onFilesDropped && !paths.isEmpty()) {
        onFilesDropped(rowAt(event->position().toPoint()), paths);
        event->acceptProposedAction();
    }
}
