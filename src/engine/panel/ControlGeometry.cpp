#include "engine/panel/ControlGeometry.h"

#include <algorithm>
#include <cmath>

const DeckControlMap kDeckControls[2] = {
    {{151, 444, 73},
     {262, 560, 29},
     {285, 507, 16},
     {299, 470, 16},
     {300, 430, 16},
     {292, 392, 16},
     {329, 403, 16},
     {324, 345, 29},
     {156, 320, 164, 340},
     {231, 458, 241, 465},
     140,
     193,
     274},
    {{647, 444, 73},
     {539, 560, 29},
     {516, 507, 16},
     {502, 470, 16},
     {501, 430, 16},
     {509, 392, 16},
     {472, 403, 16},
     {477, 345, 29},
     {634, 320, 642, 340},
     {558, 458, 568, 465},
     660,
     526,
     607},
};

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kRingInner = 112 * 112;
constexpr int kRingOuter = 128 * 128;

struct TabRange {
    int left, right;  // right excluded
};
constexpr TabRange kTabs[6] = {{25, 97},   {101, 163}, {173, 235},
                               {246, 295}, {309, 360}, {371, 417}};

int clampVolume(int v) {
    return std::clamp(v, 0, 256);
}

}  // namespace

std::optional<float> discSeekFraction(const Circle& disc, int x, int y) {
    if (x == disc.cx && y == disc.cy) {
        return std::nullopt;
    }
    return static_cast<float>((std::atan2(disc.cx - x, y - disc.cy) / kPi + 1) * 0.5);
}

std::optional<int> pitchFromArc(int dx, int dy) {
    const int v = static_cast<int>(4506 - (std::atan2(dy, dx) + 0.95) * 5000 / 9);
    if (v > 4546 || v < 3646) {
        return std::nullopt;
    }
    return std::clamp(v, 3686, 4506);
}

int arcDx(int deck, int x) {
    return deck == 0 ? x - kDeckControls[0].arcCentreX : kDeckControls[1].arcCentreX - x;
}

int arcDy(int y) {
    return kArcCentreY - y;
}

bool onPitchArc(int deck, int x, int y) {
    const DeckControlMap& d = kDeckControls[deck];
    const int dx = arcDx(deck, x);
    const int dy = arcDy(y);
    const int distance = dx * dx + dy * dy;
    return x >= d.arcLeft && x <= d.arcRight && distance >= kRingInner && distance <= kRingOuter;
}

bool onMixPad(int x, int y) {
    const int u = x + (y - 300);
    const int v = x - (y - 300);
    return u >= 469 && u <= 618 && v >= 181 && v <= 329;
}

VolumePair mixPadVolumes(int x, int y) {
    const int u = ((x - 338) * 512) / 122;
    const int v = ((y - 383) * 512) / 122;
    return {clampVolume((768 - v - u) / 2), clampVolume((u - v + 256) / 2)};
}

VolumePair joystickVolumes(int x, int y, int minX, int minY, int rangeX, int rangeY) {
    const int sx = static_cast<int>((static_cast<long long>(x - minX) * 256) / rangeX);
    const int sy = static_cast<int>((static_cast<long long>(y - minY) * 256) / rangeY);
    return {clampVolume(384 - sx - sy), clampVolume(sx - sy + 128)};
}

int nudgeSamples(int lastX, int x, int pitch) {
    return ((lastX - x) * pitch * 72) / 4096;
}

int pageTabAt(int x, int y) {
    if (x >= 417 || y >= 50) {
        return -1;
    }
    for (int i = 0; i < 6; ++i) {
        if (x >= kTabs[i].left && x < kTabs[i].right) {
            return i;
        }
    }
    return -1;
}

WindowButton windowButtonAt(int x, int y) {
    if (y < 5 || y >= 20) {
        return WindowButton::kNone;
    }
    if (x >= 752 && x <= 768) {
        return WindowButton::kMinimise;
    }
    return x >= 774 && x <= 790 ? WindowButton::kClose : WindowButton::kNone;
}

bool onNudgeStrip(int x, int y) {
    return x >= 32 && x <= 766 && y >= 46 && y <= 288;
}
