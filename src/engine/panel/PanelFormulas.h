#pragma once

#include <array>
#include <string>
#include <vector>

// What the deck panels show, computed apart from the drawing: the lines of the time and BPM
// panels, the pitch text and where the needle, the pitch marker and the mix pad's puck go. All
// positions are deck-area coordinates (screen y minus 300). Pure functions: any thread. Units as
// the deck gives them: stream positions 0..1 (-1 past the end), pitch as speed x 4096, volumes
// 0..256, BPM.

struct PanelPoint {
    int x;
    int y;
    bool operator==(const PanelPoint&) const = default;
};

struct PanelLine {
    int offset;  // pixels below the panel's top
    std::string text;
    bool operator==(const PanelLine&) const = default;
};

struct TimeInputs {
    float position;  // -1.0 past the end
    int durationSeconds;
    int pitch;
    float cuePosition;
    float startPosition;
    float endPosition;
};

// "%s%.2d:%.2d.%.1d" of a time in tenths of a second.
std::string formatTenths(const char* label, int tenths);

// Spent, Left, cue and start/end lines at the current speed, or the total time past the end.
std::vector<PanelLine> timePanelLines(const TimeInputs& in);

// The local BPM (only while playable) and the global BPM, both at the current speed.
std::vector<PanelLine> bpmPanelLines(float position, float localBpm, float globalBpm, int pitch);

// "%+.1f%%" of the deviation from normal speed.
std::string pitchText(int pitch);

PanelPoint needleEnd(int deck, float position);
PanelPoint pitchMarkerTopLeft(int deck, int pitch);
PanelPoint puckTopLeft(int deck0Volume, int deck1Volume);
// The twelve pixels of the small ring that shows the joystick's volumes on the mix pad.
std::array<PanelPoint, 12> joystickRing(int deck0Volume, int deck1Volume);
