#pragma once

#include <QRect>
#include <QString>
#include <string>
#include <vector>

class CommandSink;
class ItemListModel;
class ListView;
class QAbstractButton;
class QPushButton;
class QWidget;

// Pieces the browser's panels build their controls from: main thread only.

// A click sends the control's command.
void sendOnClick(QAbstractButton& button, CommandSink& commands, int id);
// A flat button showing a picture of the skin on the window's button colour, with its tip.
QPushButton* pictureButton(QWidget& window, CommandSink& commands, int id, int bitmap, QRect rect,
                           const QString& tip);
// The selected rows, in ascending order.
std::vector<int> selectedRows(const ListView& view);
// The header's arrow on the column the rows are sorted by.
void showSortArrow(ListView& view, int column, bool descending);
// Marks the rows of a track (not those of playlist files) as played in this run, or not.
void markPlayed(ItemListModel& model, const std::string& title, const std::string& artist,
                bool played);
