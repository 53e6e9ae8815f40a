#pragma once

#include <QImage>
#include <QPainter>
#include <QSize>
#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "core/StopSignal.h"
#include "ui/display/BeatView.h"

class QWidget;

// The display: the window shown full screen or in a window, and the refresh thread that looks at
// the beat view of the mixing page 52 to 58 times a second while refreshState is 1, and draws a
// frame when a bar moved. Frames are made in the pixel format and size of what the window is
// painted on (its backing store), so that painting one only copies it.
class Screen {
  public:
    static constexpr const char* kNoThreadMessage =
        "Multi-thread operation impossible. You must execute Spinora from a multi-thread OS";

    // heights(other, selected) fills the 735 bar heights of each deck for a frame; frameReady is
    // called on the refresh thread once a frame is finished, to have it painted.
    Screen(std::function<void(int16_t*, int16_t*)> heights, std::function<void()> frameReady);
    virtual ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    // The start-up error of the construction, or null.
    const char* error() const { return error_; }

    // Draws a frame of the beat view unless nothing in it moved since the last one (and the
    // window's pixels are the same); whether it drew. The refresh thread, or a test while
    // refreshState is 0.
    bool refresh();
    // Gives the display back when the program leaves the foreground, and takes it again.
    virtual void suspend() = 0;
    virtual void resume() = 0;

    // Stops the drawing and waits until no frame is being drawn.
    void pauseRefresh();
    // 1: a frame at every turn; 0: idle; -1: a pause asked and not yet acknowledged.
    std::atomic<int> refreshState{0};

    // main: the newest finished frame, at (32,46); the frames after it are made in the format and
    // device pixels of what the painter paints on.
    void drawBeatView(QPainter& painter);

    // Stops the refresh thread (the destructor does it too).
    void stop();

  private:
    void run();

    // The pixels a frame is made for.
    struct Target {
        QSize size;
        QImage::Format format;
        bool operator==(const Target&) const = default;
    };

    std::function<void(int16_t*, int16_t*)> heights_;
    std::function<void()> frameReady_;
    // The refresh thread's: the bars of the last frame drawn, and its target.
    std::array<int16_t, beatview::kWidth> drawnOther_{};
    std::array<int16_t, beatview::kWidth> drawnSelected_{};
    std::optional<Target> drawnTarget_;
    QImage scratch_;  // for a target that is not 32-bit RGB
    // Guarded by frameMutex_.
    std::array<QImage, 2> frames_;
    int front_ = 0;
    Target target_;
    std::mutex frameMutex_;
    StopSignal stop_;
    std::thread thread_;
    const char* error_ = nullptr;
};

// The scale that shows the 800 x 600 picture as large as a screen of this size (device pixels)
// allows, never below 1. The picture is centred on black, the rest of the screen.
double fullScreenScale(QSize screen);

// The window in a window of its own, at 800 x 600.
class WindowScreen : public Screen {
  public:
    using Screen::Screen;
    void suspend() override {}
    void resume() override {}
};

// The window over the whole screen (scaled to fill as much of it as fits, centred on black);
// leaving the foreground gives the screen back.
class FullScreen : public Screen {
  public:
    FullScreen(QWidget& window, std::function<void(int16_t*, int16_t*)> heights,
               std::function<void()> frameReady);
    void suspend() override;
    void resume() override;

  private:
    QWidget& window_;
};
