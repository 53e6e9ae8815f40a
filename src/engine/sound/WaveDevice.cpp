#include "engine/sound/WaveDevice.h"

#include <algorithm>

#include "core/SharedValue.h"

WaveDevice::WaveDevice() : samples_(2 * static_cast<std::size_t>(kFrames)) {}

void WaveDevice::mix(int16_t* out, int frames) {
    if (!started_.load(std::memory_order_acquire)) {
        std::fill_n(out, 2 * frames, int16_t{0});
        return;
    }
    published_.load(std::memory_order_acquire);
    for (int done = 0; done < frames;) {
        const int run = std::min(frames - done, kFrames - position_);
        const int16_t* from = &samples_[2 * static_cast<std::size_t>(position_)];
        for (int i = 0; i < 2 * run; ++i) {
            out[2 * done + i] = loadShared(from[i]);
        }
        done += run;
        position_ = (position_ + run) % kFrames;
    }
    bytesPlayed_.fetch_add(static_cast<int64_t>(frames) * kBytesPerFrame,
                           std::memory_order_release);
}
