#pragma once

#include <optional>

class BeatDetector;

// The user's corrections of a tempo the detector took for a related one.
enum class TempoFix { kDouble, kHalve, kThreeHalves, kTwoThirds, kLock };

// The tempo times the fix's factor (kLock: 1), or nothing when either is no valid tempo (1 to 999
// BPM). Any thread.
std::optional<float> fixedBpm(float bpm, TempoFix fix);

// main: corrects a track's tempo: its global BPM (the local estimate when the track has none yet)
// times the fix becomes its global BPM, locked as adoptLocalBpm locks it, and the local estimate is
// scaled alike for the rest of the track. The onsets, and with them the beat phase, stay as they
// are. False, changing nothing, when there is no valid tempo to fix.
bool fixTempo(BeatDetector& detector, TempoFix fix);
