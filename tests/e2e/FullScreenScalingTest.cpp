// Full screen on a wide display: the 800 x 600 picture grows to the screen's height, keeps its
// shape in the middle of black, and a click lands on the control drawn under it.
#include <gtest/gtest.h>

#include <QStandardPaths>

#include "ScopedVariable.h"
#include "Session.h"

namespace {

constexpr double kScale = 1080.0 / 600.0;
constexpr int kLeft = (1920 - 1440) / 2;

QRect scaled(const QRect& picture) {
    return {kLeft + int(picture.x() * kScale), int(picture.y() * kScale),
            int(picture.width() * kScale), int(picture.height() * kScale)};
}

// The smallest rectangle holding every pixel that is not black.
QRect drawn(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xffffff) != 0) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

TEST(FullScreenScalingTest, PictureFillsTheHeightAndClicksReachTheScaledControls) {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) {
        GTEST_SKIP() << "needs Xvfb";
    }
    QProcess server;
    server.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1920x1080x24"});
    ASSERT_TRUE(Session::waitUntil(
        [&] { return server.canReadLine() || server.waitForReadyRead(50); }, 20));
    // Spinora, xdotool and import on that display, until the end of the test.
    const ScopedVariable display("DISPLAY", ":" + server.readLine().trimmed());
    {
        Session s;  // full screen, as the settings are by default
        ASSERT_TRUE(s.start());
        const QRect picture(kLeft, 0, 1440, 1080);
        QImage shown;
        ASSERT_TRUE(s.waitUntil([&] {
            shown = s.screenshot();
            return drawn(shown).width() > 1400;
        }));
        const QRect box = drawn(shown);
        // Black each side of the picture, give or take a pixel of rounding; none above or below.
        EXPECT_TRUE(picture.adjusted(-2, 0, 2, 0).contains(box)) << box.x() << " " << box.width();
        EXPECT_GT(box.width(), 1430);
        EXPECT_GT(box.height(), 1060);

        const QRect deck1Edge = scaled(QRect(470, 302, 300, 5));
        const QRgb selectedGreen = qRgb(0x35, 0xe0, 0x7a);
        const int before = pixelsNear(shown, deck1Edge, selectedGreen);
        const QRect select1 = scaled(QRect(539, 560, 1, 1));  // deck 1's select button
        s.click(select1.x(), select1.y());
        EXPECT_TRUE(s.waitUntil(
            [&] { return pixelsNear(s.screenshot(), deck1Edge, selectedGreen) > before + 300; }));
        s.spinora.terminate();
        EXPECT_EQ(s.waitForExit(), 0);
    }
    server.terminate();
    server.waitForFinished();
}

}  // namespace
