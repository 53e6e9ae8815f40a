#pragma once

// What the window does when the browser changes its page. Main thread only.
class PageDisplay {
  public:
    virtual ~PageDisplay() = default;
    // Before the controls of the new page appear.
    virtual void leavingPage(int page) = 0;
    // After they did: the window redraws the browser's area.
    virtual void pageShown(int page) = 0;
};
