#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>
#include <atomic>
#include <vector>

#include "ui/display/BeatView.h"
#include "ui/display/Screen.h"
#include "ui/display/Skin.h"
#include "ui/display/Surface.h"

namespace {

// Bars in the view's three colours (twice the size is the screen's test).
TEST(BeatViewTest, BarsInTheirThreeColours) {
    std::vector<int16_t> other(beatview::kWidth, 0);
    std::vector<int16_t> selected(beatview::kWidth, 0);
    other[0] = 5;
    selected[0] = 3;  // the other deck higher
    other[1] = 2;
    selected[1] = 4;  // the selected deck higher
    other[2] = 7;
    selected[2] = 7;  // equal: one colour only
    selected[3] = 242;
    const uint32_t both = rgbFrom555(beatview::kBoth);
    const uint32_t selectedHigher = rgbFrom555(beatview::kSelectedHigher);
    const uint32_t otherHigher = rgbFrom555(beatview::kOtherHigher);
    const uint32_t black = qRgb(0, 0, 0);
    const int width = beatview::kWidth;
    const int height = beatview::kHeight;
    const int stride = width + 3;
    std::vector<uint32_t> pixels(static_cast<std::size_t>(stride) * height, 0x12345678);
    beatview::render(other.data(), selected.data(), pixels.data(), width, height, stride);
    // The pixel of a column, counted in rows from the bottom.
    const auto at = [&](int column, int fromBottom) {
        return pixels[(height - 1 - fromBottom) * stride + column];
    };
    EXPECT_EQ(at(0, 2), both);
    EXPECT_EQ(at(0, 3), otherHigher);
    EXPECT_EQ(at(0, 5), black);
    EXPECT_EQ(at(1, 1), both);
    EXPECT_EQ(at(1, 3), selectedHigher);
    EXPECT_EQ(at(2, 6), both);
    EXPECT_EQ(at(2, 7), black);
    EXPECT_EQ(at(3, 241), selectedHigher);
    EXPECT_EQ(at(3, 242), black);
    EXPECT_EQ(at(100, 0), black);  // silence is black
    EXPECT_EQ(pixels[width], 0x12345678u) << "past the width: untouched";

    // Drawn again over itself with the bars moved: nothing of the old bars is left.
    std::rotate(other.begin(), other.begin() + 1, other.end());
    std::rotate(selected.begin(), selected.begin() + 1, selected.end());
    beatview::render(other.data(), selected.data(), pixels.data(), width, height, stride);
    std::vector<uint32_t> fresh(pixels.size(), 0x12345678);
    beatview::render(other.data(), selected.data(), fresh.data(), width, height, stride);
    EXPECT_EQ(pixels, fresh);
}

// A frame is drawn only when a bar moved or the window is painted on other pixels, and then in
// the format and device pixels of what it is painted on.
TEST(ScreenTest, FrameOnlyWhenABarMovesMadeForThePixelsItIsPaintedOn) {
    std::array<int16_t, beatview::kWidth> bars{};  // the selected deck's; the other's stay flat
    std::atomic<int> frames{0};
    WindowScreen screen(
        [&](int16_t* other, int16_t* selected) {
            std::fill_n(other, beatview::kWidth, int16_t{0});
            std::copy(bars.begin(), bars.end(), selected);
        },
        [&] { ++frames; });
    // refreshState stays 0: the refresh thread draws nothing, the test does.
    EXPECT_TRUE(screen.refresh());
    EXPECT_FALSE(screen.refresh());
    bars[10] = 50;
    EXPECT_TRUE(screen.refresh());
    EXPECT_FALSE(screen.refresh());
    EXPECT_EQ(frames, 2);

    // A window at twice the scale, in another format.
    QImage window(1600, 1200, QImage::Format_ARGB32_Premultiplied);
    window.fill(Qt::white);
    const auto paint = [&] {
        QPainter painter(&window);
        painter.scale(2, 2);
        screen.drawBeatView(painter);
    };
    paint();
    EXPECT_TRUE(screen.refresh());
    EXPECT_FALSE(screen.refresh());
    paint();
    const int bottom = 2 * (beatview::kTop + beatview::kHeight) - 1;
    const int x = 2 * (beatview::kLeft + 10);
    EXPECT_EQ(window.pixel(x, bottom - 99), rgbFrom555(beatview::kSelectedHigher));
    EXPECT_EQ(window.pixel(x + 1, bottom - 99), rgbFrom555(beatview::kSelectedHigher));
    EXPECT_EQ(window.pixel(x, bottom - 100), qRgb(0, 0, 0));
    EXPECT_EQ(window.pixel(x + 2, bottom), qRgb(0, 0, 0));
    EXPECT_EQ(window.pixel(2 * beatview::kLeft - 1, bottom), qRgb(255, 255, 255));

    // At a fractional scale, with the view in a widget placed off the origin: the frame lands on
    // the view's device pixels as it was made, not scaled.
    QImage wide(1280, 960, QImage::Format_RGB32);
    wide.fill(Qt::white);
    const auto paintWide = [&] {
        QPainter painter(&wide);
        painter.translate(3.5, 1.25);
        painter.scale(1.55, 1.55);
        screen.drawBeatView(painter);
        return painter.deviceTransform()
            .mapRect(QRectF(beatview::kLeft, beatview::kTop, beatview::kWidth, beatview::kHeight))
            .toRect();
    };
    for (std::size_t i = 0; i < bars.size(); ++i) {
        bars[i] = static_cast<int16_t>(i * 7 % 97);
    }
    const QRect pixels = paintWide();
    EXPECT_TRUE(screen.refresh());
    paintWide();
    QImage made(pixels.size(), QImage::Format_RGB32);
    const std::array<int16_t, beatview::kWidth> flat{};
    beatview::render(flat.data(), bars.data(), reinterpret_cast<uint32_t*>(made.bits()),
                     made.width(), made.height(), static_cast<int>(made.bytesPerLine() / 4));
    EXPECT_EQ(wide.copy(pixels), made);
}

TEST(SurfaceTest, RawPicturesAreBottomUp555) {
    // 2 x 2: bottom row red, white; top row green, blue.
    const uint16_t words[4] = {0x7c00, 0x7fff, 0x03e0, 0x001f};
    const QByteArray data(reinterpret_cast<const char*>(words), sizeof words);
    const QImage image = imageFromRaw555(data, 2, 2);
    EXPECT_EQ(image.pixel(0, 1), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 255));
    EXPECT_TRUE(imageFromRaw555(data, 3, 2).isNull());
}

}  // namespace
