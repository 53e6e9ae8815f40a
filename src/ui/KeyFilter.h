#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;
class QWidget;

// The historic key code of a key: letters, digits, Tab, Enter, Escape, Space, the page, arrow
// and Delete keys and F1 to F6; 0 for any other key.
int virtualKeyCode(const QKeyEvent& event);

// Offers the key presses of the main window to the keyboard handler before any widget sees them;
// a key it takes is swallowed. Only the press as delivered to the main window's own window counts
// (the same press also reaches the focused widget and its parents); a dialog, a menu or any other
// window of the program keeps all its keys.
class KeyFilter : public QObject {
  public:
    KeyFilter(const QWidget& mainWindow, std::function<bool(int)> onKeyDown,
              QObject* parent = nullptr)
        : QObject(parent), mainWindow_(mainWindow), onKeyDown_(std::move(onKeyDown)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    const QWidget& mainWindow_;
    std::function<bool(int)> onKeyDown_;
};
