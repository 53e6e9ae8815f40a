#include "ui/display/Screen.h"

#include <QWidget>
#include <algorithm>
#include <chrono>
#include <system_error>

#include "ui/display/BeatView.h"

namespace {

constexpr auto kFramePeriod = std::chrono::milliseconds(17);
constexpr QSize kPicture(800, 600);

}  // namespace

Screen::Screen(std::function<void(int16_t*, int16_t*)> heights, std::function<void()> frameReady)
    : heights_(std::move(heights)), frameReady_(std::move(frameReady)) {
    for (QImage& frame : frames_) {
        frame = QImage(beatview::kWidth, beatview::kHeight, QImage::Format_RGB555);
        frame.fill(0);
    }
    try {
        thread_ = std::thread(&Screen::run, this);
    } catch (const std::system_error&) {
        error_ = kNoThreadMessage;
    }
}

Screen::~Screen() {
    stop();
}

void Screen::stop() {
    if (!thread_.joinable()) {
        return;
    }
    stop_.raiseAndWait();
    thread_.join();
}

void Screen::run() {
    while (!stop_.raised()) {
        if (refreshState.load() == 1) {
            refresh();
        } else {
            int pauseAsked = -1;
            refreshState.compare_exchange_strong(pauseAsked, 0);  // the acknowledgement
        }
        std::this_thread::sleep_for(kFramePeriod);
    }
    stop_.acknowledge();
}

void Screen::refresh() {
    std::array<int16_t, beatview::kWidth> other{};
    std::array<int16_t, beatview::kWidth> selected{};
    heights_(other.data(), selected.data());
    QImage& back = frames_[1 - front_];
    beatview::render(other.data(), selected.data(), reinterpret_cast<uint16_t*>(back.bits()),
                     static_cast<int>(back.bytesPerLine() / 2));
    {
        std::lock_guard lock(frameMutex_);
        front_ = 1 - front_;
    }
    frameReady_();
}

void Screen::pauseRefresh() {
    int drawing = 1;
    if (!refreshState.compare_exchange_strong(drawing, -1)) {
        return;
    }
    while (refreshState.load() == -1) {
        std::this_thread::yield();
    }
}

void Screen::drawBeatView(QPainter& painter) {
    std::lock_guard lock(frameMutex_);
    painter.drawImage(QPoint(beatview::kLeft, beatview::kTop), frames_[front_]);
}

FullScreen::FullScreen(QWidget& window, std::function<void(int16_t*, int16_t*)> heights,
                       std::function<void()> frameReady)
    : Screen(std::move(heights), std::move(frameReady)), window_(window) {}

void FullScreen::suspend() {
    window_.window()->showNormal();
}

void FullScreen::resume() {
    window_.window()->showFullScreen();
}

double fullScreenScale(QSize screen) {
    return std::max(1.0, std::min(screen.width() / double(kPicture.width()),
                                  screen.height() / double(kPicture.height())));
}
