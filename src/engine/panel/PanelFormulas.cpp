#include "engine/panel/PanelFormulas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kDiscCentreX[2] = {151, 647};
constexpr int kDiscCentreY = 144;
constexpr int kNeedleLength = 73;

// Longer than any track (about 3 years): a time beyond it is shown as this.
constexpr double kMaxTenths = 999999999.0;

// A time in tenths of a second for display: never negative, and a value that is not a number
// (from a damaged record) shows as 0 rather than reaching an undefined conversion.
int displayTenths(double tenths) {
    return tenths > 0.0 ? static_cast<int>(std::min(tenths, kMaxTenths)) : 0;
}

bool shownBpm(float bpm) {
    return bpm > 1.0f && bpm < 999.0f;
}

std::string formatted(const char* format, double value) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}  // namespace

std::string formatTenths(const char* label, int tenths) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s%.2d:%.2d.%.1d", label, tenths / 600,
                  (tenths / 10) % 60, tenths % 10);
    return buffer;
}

std::vector<PanelLine> timePanelLines(const TimeInputs& in) {
    if (in.position < 0.0f) {
        return {{21, formatTenths("Total Time: ", displayTenths(in.durationSeconds * 10.0))}};
    }
    // The track's length in whole tenths of a second at the current speed.
    const auto length = static_cast<float>(std::trunc(in.durationSeconds * 40960.0 / in.pitch));
    const float p = in.position;
    const auto tenths = [length](float fraction) { return displayTenths(fraction * length); };
    std::vector<PanelLine> lines = {
        {0, formatTenths("Spent: ", tenths(p))},
        {14, formatTenths("Left: ", tenths(1.0f - p) + 1)},
    };
    if (in.cuePosition > p) {
        lines.push_back({28, formatTenths("To Cue: ", tenths(in.cuePosition - p) + 1)});
    } else {
        lines.push_back({28, formatTenths("From Cue: ", tenths(p - in.cuePosition))});
    }
    if (in.startPosition > p) {
        lines.push_back({42, formatTenths("To Start: ", tenths(in.startPosition - p) + 1)});
    } else if (in.endPosition > p) {
        lines.push_back({42, formatTenths("To End: ", tenths(in.endPosition - p) + 1)});
    }
    return lines;
}

std::vector<PanelLine> bpmPanelLines(float position, float localBpm, float globalBpm, int pitch) {
    std::vector<PanelLine> lines;
    int next = 10;
    if (position >= 0.0f && shownBpm(localBpm)) {
        lines.push_back({0, formatted("local: %.1f bpm", localBpm * pitch / 4096)});
        next = 20;
    }
    if (shownBpm(globalBpm)) {
        lines.push_back({next, formatted("global: %.1f bpm", globalBpm * pitch / 4096)});
    }
    return lines;
}

std::string pitchText(int pitch) {
    return formatted("%+.1f%%", pitch * 0.0244140625 - 100);
}

PanelPoint needleEnd(int deck, float position) {
    const int cx = kDiscCentreX[deck];
    const double angle = position * 2 * kPi;
    if (!(angle >= 0 && std::isfinite(angle))) {
        return {cx, kDiscCentreY};
    }
    return {cx + static_cast<int>(kNeedleLength * std::sin(angle)),
            kDiscCentreY - static_cast<int>(kNeedleLength * std::cos(angle))};
}

PanelPoint pitchMarkerTopLeft(int deck, int pitch) {
    const double b = (4506 - pitch) * 0.0018 - 0.95;
    const double x = deck == 0 ? 132 + 120 * std::cos(b) : 652 - 120 * std::cos(b);
    return {static_cast<int>(x), static_cast<int>(135 - 120 * std::sin(b))};
}

PanelPoint puckTopLeft(int p, int q) {
    return {(q - p + 256) * 122 / 512 + 333, (512 - p - q) * 122 / 512 + 78};
}

std::array<PanelPoint, 12> joystickRing(int j0, int j1) {
    const int e = (j1 - j0 + 256) * 122 / 512;
    const int d = (512 - j0 - j1) * 122 / 512;
    return {{{e + 337, d + 81},
             {e + 338, d + 81},
             {e + 339, d + 81},
             {e + 340, d + 82},
             {e + 340, d + 83},
             {e + 340, d + 84},
             {e + 339, d + 85},
             {e + 338, d + 85},
             {e + 337, d + 85},
             {e + 336, d + 84},
             {e + 336, d + 83},
             {e + 336, d + 82}}};
}
