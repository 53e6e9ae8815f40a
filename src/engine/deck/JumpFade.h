#pragma once

#include <array>
#include <cstdint>

#include "engine/sound/SoundOutput.h"

// When an audible deck's play position jumps, what it would have played next at the old place
// fades out under the first frames from the new place, so that the jump makes no click. It only
// blends what the deck writes to its output, so every kind of output gets it, and where playback
// lands and when stays as it was. Counts are stereo frames at the deck's 44100 Hz, before the
// output resamples them to the pitch. Audio thread.
class JumpFade {
  public:
    static constexpr int kFrames = 256;  // 5.8 ms

    // Keeps the frames to be heard next from `from` on in ring (ringFrames long, wrapping round):
    // kFrames of them, or the `available` ones when fewer.
    void capture(const int16_t* ring, int ringFrames, int from, int available);
    // Writes count frames to output, the first ones blended with what was captured.
    void write(SoundOutput& output, const int16_t* frames, int count);
    // The output dropped what was queued. In the service step of the jump it writes again from
    // the same place, and the fade starts over; later, what it faded from has been heard, and the
    // fade ends.
    void outputFlushed();
    // A new service step begins.
    void nextStep() { sameStep_ = false; }

  private:
    std::array<int16_t, 2 * kFrames> old_{};
    std::array<int16_t, 2 * kFrames> blended_{};
    int length_ = 0;
    int done_ = 0;
    bool sameStep_ = false;
};
