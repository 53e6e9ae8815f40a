#pragma once

#include <QTimer>
#include <functional>

struct _SDL_Joystick;  // NOLINT(bugprone-reserved-identifier): SDL's own name

// Joystick 0 through SDL, polled on the main thread every 10 ms. Its axes 0 and 1 run from 0 to
// 65535 and its buttons are bit flags (button 1 is bit 0); a move is reported only on a change,
// a button press with the buttons down and, shifted by 8, the buttons that just went down.
class SdlJoystick {
  public:
    static constexpr int kPollPeriod = 10;

    // report(message, buttons, position) with the message numbers of the dispatcher.
    explicit SdlJoystick(std::function<void(int, unsigned long, long)> report);
    ~SdlJoystick();
    SdlJoystick(const SdlJoystick&) = delete;
    SdlJoystick& operator=(const SdlJoystick&) = delete;

    // False when there is no joystick.
    bool open();
    void poll();

  private:
    std::function<void(int, unsigned long, long)> report_;
    bool initialised_ = false;
    _SDL_Joystick* joystick_ = nullptr;
    QTimer timer_;
    int x_ = -1;
    int y_ = -1;
    int buttons_ = 0;
};
