#pragma once

// Which browser page is on show. Main thread only.
class PageSwitcher {
  public:
    virtual ~PageSwitcher() = default;
    virtual int page() const = 0;
    // Shows the page again after a dialog covered it, too.
    virtual void showPage(int page) = 0;
};
