#include "MixCapture.h"

#include <QImage>
#include <algorithm>

bool loadTheSet(Session& s) {
    // As a person would, each step once the screen shows the last one done: a slow start lists
    // the folder late, and "Auto Mix" on an empty playlist loads nothing.
    const auto shows = [&](const QRect& rect) {
        return s.waitUntil(
            [&] { return pixelsNear(s.screenshot(), rect, qRgb(0, 0, 0), 60) > 10; });
    };
    s.key("F3");
    if (!shows(QRect(185, 94, 60, 14))) {  // the playlist file in the file list
        return false;
    }
    s.drag(250, 101, 520, 150);
    if (!shows(QRect(408, 94, 80, 14))) {  // its first entry in the playlist
        return false;
    }
    s.click(250, 60);
    const QRect titles[2] = {QRect(76, 562, 145, 26), QRect(577, 562, 145, 26)};
    return s.waitUntil([&] {
        const QImage shot = s.screenshot();
        return pixelsNear(shot, titles[0], qRgb(0, 255, 0), 60) > 30 &&
               pixelsNear(shot, titles[1], qRgb(0, 255, 0), 60) > 30;
    });
}

bool waitForTheEnd(Session& s) {
    return s.waitUntil(
        [&] {
            const std::vector<int16_t> pcm = s.played();
            const long tail = static_cast<long>(pcm.size()) - 2 * 2 * kCaptureRate;
            return tail > 2L * kCaptureRate * 60 &&
                   std::all_of(pcm.begin() + tail, pcm.end(), [](int16_t v) { return v == 0; });
        },
        180);
}
