#pragma once

// Where the browser's controls send their commands, as the window's command messages: the
// control identifier and a notification code (0 for a click). Main thread only.
class CommandSink {
  public:
    virtual ~CommandSink() = default;
    virtual void sendCommand(int id, int code) = 0;
};
