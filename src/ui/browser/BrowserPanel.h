#pragma once

class QWidget;

// One panel of the browser: it owns some of the browser's controls and their commands. Main
// thread only.
class BrowserPanel {
  public:
    virtual ~BrowserPanel() = default;
    // The control with this identifier, or null when another panel owns it.
    virtual QWidget* control(int id) const = 0;
    virtual void command(int id) = 0;
};
