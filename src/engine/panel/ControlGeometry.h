#pragma once

#include <optional>

// Where the controls of the skin are and what a point on them means, in screen coordinates. Pure
// functions and constants: any thread. Pitch is speed x 4096, volumes are levels 0..256.

struct Circle {
    int cx, cy, radius;
    bool contains(int x, int y) const {
        const int dx = x - cx;
        const int dy = y - cy;
        return dx * dx + dy * dy <= radius * radius;
    }
};

struct Box {
    int left, top, right, bottom;  // both bounds included
    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// The screen y of every pitch arc's centre.
inline constexpr int kArcCentreY = 443;

// The controls of one deck. The skin generator draws the controls where these say.
struct DeckControlMap {
    Circle disc, select, mem, stop, pause, play, skip, sync;
    Box bpmAdopt, pitchReset;
    int arcCentreX;  // the pitch arc's centre is (arcCentreX, kArcCentreY)
    int arcLeft, arcRight;
};

extern const DeckControlMap kDeckControls[2];

// The BPM display of each deck, where a right click offers the tempo fixes.
inline constexpr Box kBpmDisplay[2] = {{174, 309, 281, 348}, {519, 309, 626, 348}};

// The seek position (a stream position) of a click on a disc (0.0 at 12 o'clock, clockwise, 1.0
// straight above the centre), or nothing at the exact centre.
std::optional<float> discSeekFraction(const Circle& disc, int x, int y);

// The pitch at a point relative to a deck's arc centre: dx to the outside of the arc, dy upward.
// Nothing when far beyond either end; just beyond an end gives that end.
std::optional<int> pitchFromArc(int dx, int dy);

// A press on the pitch arc of a deck: inside the ring and its x range.
bool onPitchArc(int deck, int x, int y);
// dx, dy of a point for a deck's arc formula.
int arcDx(int deck, int x);
int arcDy(int y);

bool onMixPad(int x, int y);

struct VolumePair {
    int deck0, deck1;
    bool operator==(const VolumePair&) const = default;
};

VolumePair mixPadVolumes(int x, int y);
VolumePair joystickVolumes(int x, int y, int minX, int minY, int rangeX, int rangeY);

// Stereo frames a nudge drag moves the music, dragging from lastX to x.
int nudgeSamples(int lastX, int x, int pitch);

// The page tab under a point of the tab strip, or -1.
int pageTabAt(int x, int y);

enum class WindowButton { kNone, kMinimise, kClose };
// The window button (top right) under a point.
WindowButton windowButtonAt(int x, int y);

bool onNudgeStrip(int x, int y);
