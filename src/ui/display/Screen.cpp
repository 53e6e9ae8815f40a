#include "ui/display/Screen.h"

#include <pthread.h>
#include <sys/prctl.h>

#include <QPaintEngine>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <system_error>

#include "ui/display/BeatView.h"

namespace {

constexpr auto kFramePeriod = std::chrono::milliseconds(17);
// How late a frame may come: the kernel may end the sleep with another thread's timer instead of
// waking a resting core for it alone.
constexpr auto kFrameSlack = std::chrono::milliseconds(2);
constexpr QSize kPicture(800, 600);

}  // namespace

Screen::Screen(std::function<void(int16_t*, int16_t*)> heights, std::function<void()> frameReady)
    : heights_(std::move(heights)),
      frameReady_(std::move(frameReady)),
      target_{QSize(beatview::kWidth, beatview::kHeight), QImage::Format_RGB32} {
    for (QImage& frame : frames_) {
        frame = QImage(target_.size, target_.format);
        frame.fill(Qt::black);
    }
    try {
        thread_ = std::thread(&Screen::run, this);
        pthread_setname_np(thread_.native_handle(), "beat view");
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
    prctl(PR_SET_TIMERSLACK,
          static_cast<unsigned long>(std::chrono::nanoseconds(kFrameSlack).count()));  // a hint
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

namespace {

// Formats whose pixels are 32-bit words the beat view's colours can be written to as they are.
bool takesRgb32(QImage::Format format) {
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

void renderInto(const int16_t* other, const int16_t* selected, QImage& image) {
    beatview::render(other, selected, reinterpret_cast<uint32_t*>(image.bits()), image.width(),
                     image.height(), static_cast<int>(image.bytesPerLine() / 4));
}

}  // namespace

bool Screen::refresh() {
    std::array<int16_t, beatview::kWidth> other{};
    std::array<int16_t, beatview::kWidth> selected{};
    heights_(other.data(), selected.data());
    Target target;
    int back = 0;
    {
        std::lock_guard lock(frameMutex_);
        target = target_;
        back = 1 - front_;
    }
    if (target == drawnTarget_ && other == drawnOther_ && selected == drawnSelected_) {
        return false;
    }
    // Only this thread touches the back frame.
    QImage& frame = frames_[back];
    if (frame.size() != target.size || frame.format() != target.format) {
        frame = QImage(target.size, target.format);
    }
    if (takesRgb32(target.format)) {
        renderInto(other.data(), selected.data(), frame);
    } else {
        if (scratch_.size() != target.size) {
            scratch_ = QImage(target.size, QImage::Format_RGB32);
        }
        renderInto(other.data(), selected.data(), scratch_);
        frame = scratch_.convertToFormat(target.format);
    }
    drawnOther_ = other;
    drawnSelected_ = selected;
    drawnTarget_ = target;
    {
        std::lock_guard lock(frameMutex_);
        front_ = back;
    }
    frameReady_();
    return true;
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
    const QRectF view(beatview::kLeft, beatview::kTop, beatview::kWidth, beatview::kHeight);
    const QTransform toDevice = painter.deviceTransform();
    const QRect pixels = toDevice.mapRect(view).toRect();
    Target target{pixels.size(), QImage::Format_RGB32};
    const QPaintDevice* surface = painter.paintEngine()->paintDevice();
    if (surface != nullptr && surface->devType() == QInternal::Image) {
        target.format = static_cast<const QImage*>(surface)->format();
    }
    std::lock_guard lock(frameMutex_);
    target_ = target;
    const QImage& frame = frames_[front_];
    if (frame.size() != pixels.size()) {
        painter.drawImage(view, frame);  // made for other pixels: stretched until the next one
        return;
    }
    // Made in device pixels: undo the scale, so that even at a fractional one Qt copies the
    // frame instead of scaling it by a hair.
    painter.save();
    // Opaque: copied as it is, not blended pixel by pixel into an ARGB backing store.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setWorldTransform(QTransform::fromScale(1.0 / toDevice.m11(), 1.0 / toDevice.m22()) *
                              painter.worldTransform());
    painter.drawImage(QPointF(pixels.topLeft()) - toDevice.map(QPointF(0, 0)), frame);
    painter.restore();
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
