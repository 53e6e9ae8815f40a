#include "ui/browser/PanelWidgets.h"

#include <QHeaderView>
#include <QPushButton>
#include <algorithm>

#include "ui/browser/BrowserModels.h"
#include "ui/browser/CommandSink.h"
#include "ui/browser/ListView.h"
#include "ui/display/Skin.h"
#include "ui/display/Surface.h"

void sendOnClick(QAbstractButton& button, CommandSink& commands, int id) {
    QObject::connect(&button, &QAbstractButton::clicked,
                     [&commands, id] { commands.sendCommand(id, 0); });
}

QPushButton* pictureButton(QWidget& window, CommandSink& commands, int id, int bitmap, QRect rect,
                           const QString& tip) {
    auto* button = new QPushButton(&window);
    button->setGeometry(rect);
    button->setToolTip(tip);
    QImage picture = Skin::bitmap(bitmap);
    recolourBackground(picture, window.palette().button().color());
    button->setIcon(QIcon(QPixmap::fromImage(picture)));
    button->setIconSize(picture.size());
    button->setFocusPolicy(Qt::NoFocus);
    sendOnClick(*button, commands, id);
    return button;
}

std::vector<int> selectedRows(const ListView& view) {
    std::vector<int> rows;
    for (const QModelIndex& index : view.selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void markPlayed(ItemListModel& model, const std::string& title, const std::string& artist,
                bool played) {
    for (int row = 0; row < model.size(); ++row) {
        const BrowserItem& item = model.item(row);
        if (item.kind != BrowserItem::kPlaylistFile && item.title == title &&
            item.artist == artist) {
            model.setImage(row, played ? 2 : 0);
        }
    }
}

void showSortArrow(ListView& view, int column, bool descending) {
    view.header()->setSortIndicatorShown(true);
    view.header()->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}
