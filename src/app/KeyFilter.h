#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;

// The historic key code of a key: letters, digits, Tab, Enter, Escape, Space, the page, arrow
// and Delete keys and F1 to F6; 0 for any other key.
int virtualKeyCode(const QKeyEvent& event);

// Offers every key press to the keyboard handler before any widget sees it; a key it takes is
// swallowed. Only the press as delivered to the window counts (the same press also reaches the
// focused widget and its parents).
class KeyFilter : public QObject {
  public:
    explicit KeyFilter(std::function<bool(int)> onKeyDown, QObject* parent = nullptr)
        : QObject(parent), onKeyDown_(std::move(onKeyDown)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<bool(int)> onKeyDown_;
};
