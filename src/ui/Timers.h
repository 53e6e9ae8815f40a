#pragma once

// The window's numbered timers (the ids of core/Messages.h): a started timer fires every period
// until killed. Main thread only.
class Timers {
  public:
    virtual ~Timers() = default;
    virtual void startTimer(int id, int milliseconds) = 0;
    virtual void killTimer(int id) = 0;
};
