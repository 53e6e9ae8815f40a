#include "MixCapture.h"

#include <QImage>
#include <algorithm>

bool loadTheSet(Session& s) {
    s.key("F3");
    s.drag(250, 101, 520, 150);
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
