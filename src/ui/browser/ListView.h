#pragma once

#include <QTreeView>
#include <functional>
#include <string>
#include <vector>

// A report list of the browser: full-row, several rows selectable. A drag of its rows starts the
// browser's own drag (the drop lands where the pointer is released, on a disc or in the
// playlist); files from the desktop can be dropped in when the list takes them.
class QMenu;
class QMimeData;

// The playable local files of a drop from the desktop (a folder gives its tracks), as the bytes of
// their paths; anything else is left out with a word on the standard error.
std::vector<std::string> droppedFiles(const QMimeData& data);

class ListView : public QTreeView {
  public:
    explicit ListView(QWidget* parent);

    std::function<void()> onDragStart;
    // Files dropped from the desktop, at a row (the row count below the last row).
    std::function<void(int row, const std::vector<std::string>& paths)> onFilesDropped;

    // The row under a point of the viewport, or the row count below the last row.
    int rowAt(QPoint viewportPoint) const;

  protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // The menu of the header's context click: one checked entry per shown column; a column dragged
    // to nothing comes back through its entry. Deletes itself when closed.
    QMenu* columnMenu();
};
