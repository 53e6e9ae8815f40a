#pragma once

// The window messages, timers and key codes the dispatcher routes, by their historic numbers, so
// that the routing tables read as they were written.
namespace msg {

constexpr int kCreate = 1;
constexpr int kDestroy = 2;
constexpr int kPaint = 15;
constexpr int kClose = 16;
constexpr int kEraseBackground = 20;
constexpr int kActivateApp = 28;
constexpr int kNotify = 78;
constexpr int kCommand = 273;
constexpr int kTimer = 275;
constexpr int kMouseMove = 512;
constexpr int kLeftButtonDown = 513;
constexpr int kLeftButtonUp = 514;
constexpr int kRightButtonDown = 516;
constexpr int kRightButtonUp = 517;
constexpr int kJoystickMove = 928;
constexpr int kJoystickButtonDown = 949;
constexpr int kMixInto = 1024;      // WM_USER: mix into this deck
constexpr int kTrackEnded = 1025;   // WM_USER + 1: this deck's track ended
constexpr int kTrackLoaded = 1026;  // this deck took in the file it was asked to load
constexpr int kLoadFailed = 1027;   // this deck could not open the file it was asked to load

// Notification codes of a command: an edit box gained or lost the focus.
constexpr int kEditGainedFocus = 256;
constexpr int kEditLostFocus = 512;

// x in the low 16 bits (unsigned), y in the high 16 bits (signed).
constexpr long pointParam(int x, int y) {
    return static_cast<long>((static_cast<unsigned>(y) << 16) |
                             (static_cast<unsigned>(x) & 0xffffu));
}
constexpr int pointX(long param) {
    return static_cast<int>(param & 0xffff);
}
constexpr int pointY(long param) {
    return static_cast<short>((param >> 16) & 0xffff);
}

}  // namespace msg

namespace timer {

constexpr int kAutoMix = 149;       // 200 ms: one step of an automatic mix
constexpr int kHistoryDeck0 = 150;  // 40 s after a load into deck 0
constexpr int kHistoryDeck1 = 151;  // 40 s after a load into deck 1
constexpr int kPanels = 160;        // 100 ms: the deck panels

}  // namespace timer

namespace vk {

constexpr int kTab = 9;
constexpr int kReturn = 13;
constexpr int kEscape = 27;
constexpr int kSpace = 32;
constexpr int kPageUp = 33;
constexpr int kPageDown = 34;
constexpr int kLeft = 37;
constexpr int kUp = 38;
constexpr int kRight = 39;
constexpr int kDown = 40;
constexpr int kDelete = 46;
constexpr int kA = 65;
constexpr int kZ = 90;
constexpr int kF1 = 112;
constexpr int kF6 = 117;

}  // namespace vk
