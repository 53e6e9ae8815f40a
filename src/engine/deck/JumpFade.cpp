#include "engine/deck/JumpFade.h"

#include <algorithm>

void JumpFade::capture(const int16_t* ring, int ringFrames, int from, int available) {
    length_ = std::clamp(available, 0, kFrames);
    done_ = 0;
    sameStep_ = true;
    const int first = std::min(length_, ringFrames - from);
    std::copy_n(ring + 2 * from, 2 * first, old_.begin());
    std::copy_n(ring, 2 * (length_ - first), old_.begin() + 2 * first);
}

void JumpFade::write(SoundOutput& output, const int16_t* frames, int count) {
    const int blend = std::clamp(length_ - done_, 0, count);
    if (blend > 0) {
        // A straight line from the old place to the new one: both are usually the same music a
        // moment apart, so their sum keeps its level.
        const int span = length_ + 1;
        for (int i = 0; i < blend; ++i) {
            const int in = done_ + i + 1;  // the new place's share, of span
            for (int c = 0; c < 2; ++c) {
                const int old = old_[2 * (done_ + i) + c];
                blended_[2 * i + c] =
                    static_cast<int16_t>((old * (span - in) + frames[2 * i + c] * in) / span);
            }
        }
        done_ += blend;
        output.write(blended_.data(), blend);
    }
    if (count > blend) {
        output.write(frames + 2 * blend, count - blend);
    }
}

void JumpFade::outputFlushed() {
    if (sameStep_) {
        done_ = 0;
    } else {
        length_ = 0;
    }
}
