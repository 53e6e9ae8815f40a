#include "platform/SdlJoystick.h"

#include <SDL.h>

#include "core/Messages.h"

namespace {

constexpr int kAxisOffset = 32768;
constexpr int kButtons = 4;

}  // namespace

SdlJoystick::SdlJoystick(std::function<void(int, unsigned long, long)> report)
    : report_(std::move(report)) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    initialised_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
}

SdlJoystick::~SdlJoystick() {
    timer_.stop();
    if (joystick_ != nullptr) {
        SDL_JoystickClose(joystick_);
    }
    if (initialised_) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }
}

bool SdlJoystick::open() {
    if (!initialised_ || SDL_NumJoysticks() < 1) {
        return false;
    }
    joystick_ = SDL_JoystickOpen(0);
    if (joystick_ == nullptr) {
        return false;
    }
    timer_.start(kPollPeriod);
    return true;
}

void SdlJoystick::poll() {
    SDL_JoystickUpdate();
    const int x = SDL_JoystickGetAxis(joystick_, 0) + kAxisOffset;
    const int y = SDL_JoystickGetAxis(joystick_, 1) + kAxisOffset;
    int buttons = 0;
    for (int i = 0; i < kButtons && i < SDL_JoystickNumButtons(joystick_); ++i) {
        buttons |= SDL_JoystickGetButton(joystick_, i) != 0 ? 1 << i : 0;
    }
    const int pressed = buttons & ~buttons_;
    if (pressed != 0) {
        report_(msg::kJoystickButtonDown, static_cast<unsigned long>(buttons | (pressed << 8)), 0);
    }
    if (x != x_ || y != y_ || buttons != buttons_) {
        report_(
            msg::kJoystickMove, static_cast<unsigned long>(buttons),
            static_cast<long>((static_cast<unsigned long>(y) << 16) | static_cast<unsigned>(x)));
    }
    x_ = x;
    y_ = y;
    buttons_ = buttons;
}
