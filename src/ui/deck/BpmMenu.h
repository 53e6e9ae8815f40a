#pragma once

#include <QPoint>
#include <functional>
#include <memory>

#include "engine/beat/TempoFix.h"

class QMenu;

// The menu of a deck's BPM display: the fixes of a tempo the detector took for a related one, and
// the lock. Main thread.
class BpmMenu {
  public:
    BpmMenu();
    ~BpmMenu();
    BpmMenu(const BpmMenu&) = delete;
    BpmMenu& operator=(const BpmMenu&) = delete;

    // Shows the menu at a point of the screen without waiting; chosen(fix) runs when an entry is
    // taken, not at all when the menu is left.
    void popup(QPoint screenPoint, std::function<void(TempoFix)> chosen);

  private:
    std::unique_ptr<QMenu> menu_;
    std::function<void(TempoFix)> chosen_;
};
