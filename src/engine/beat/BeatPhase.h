#pragma once

#include <cstdint>

// What the beat queries read of a deck, taken in one go: its ring indexes, pitch, global BPM,
// peak onset level and onset history. The audio thread keeps changing these; a view may be one
// service step old. The queries run on any thread that holds a view: the main thread, the
// display's refresh thread.
struct BeatView {
    int readIndex;  // ring indexes and counts in stereo frames
    int aheadCount;
    int unfilledCount;
    int pitch;  // speed x 4096
    float globalBpm;
    int32_t peakLevel;
    const int32_t* onsets;        // 4096 beat slots, indexed like the detector's history
    const int32_t* steadyOnsets;  // the same slots, kernel-independent (lining beats up)
};

class BeatDetector;

inline constexpr int kOnsetStripColumns = 735;
inline constexpr int kOnsetStripHeight = 243;

// Length of one beat in beat slots at the global BPM, 120 BPM when there is none.
int beatLengthSlots(float globalBpm);

// main: makes the local BPM the track's global BPM and locks it against later analysis.
void adoptLocalBpm(BeatDetector& detector);

// Beat slots from the play position to the strongest onset of the coming beat.
int nextBeatOffset(const BeatView& view);

// Signed beat slots from the play position + target (beat slots) to the strongest onset within half
// a beat, an onset i slots away counting 600 / (600 + i) of its strength.
int findBeatNear(const BeatView& view, int target);

// main: beat slots by which the follower's beats, its play position moved by `shift` beat slots,
// come after the lead's (negative: before), at the lead's coming beat, from the beats of the lead
// within what both decks have decoded ahead. The pitches (speed x 4096) are those the decks play
// at. Each beat is placed at the attack of its steady onsets within a quarter beat either side; a
// line through the beats' lags gives the drift of two tempos a hair apart, and its medians leave
// out a beat drowned by a fill. 0 when no beat is decoded on both decks.
int beatLag(const BeatView& lead, const BeatView& follower, int shift, int leadPitch,
            int followerPitch);

// Heights 0 to 242 of the onsets ahead of the play position, one column per pitch / 1024 beat
// slots; out has room for kOnsetStripColumns.
void onsetStrip(const BeatView& view, int16_t* out);
