#include "engine/sound/LoopBuffer.h"

#include <cmath>

#include "core/SharedValue.h"

LoopBuffer::LoopBuffer(Placement placement)
    : placement_(placement),
      samples_(static_cast<std::size_t>(kFrames) * (placement == Placement::Stereo ? 2 : 1)) {}

void LoopBuffer::setVolume(int hundredthsOfDecibel) {
    const float gain = hundredthsOfDecibel <= kSilentVolume
                           ? 0.0f
                           : static_cast<float>(std::pow(10.0, hundredthsOfDecibel / 2000.0));
    targetGain_.store(gain, std::memory_order_relaxed);
}

int LoopBuffer::firstChannel(int deviceChannels) const {
    switch (placement_) {
        case Placement::FrontRight:
            return 1;
        case Placement::RearLeft:
            return deviceChannels > 2 ? 2 : 0;
        case Placement::RearRight:
            return deviceChannels > 2 ? 3 : 1;
        default:
            return 0;
    }
}

bool LoopBuffer::shortOfFrames(int position, int frames) {
    const unsigned publishes = published_.load(std::memory_order_acquire);
    if (publishes == 0) {
        return false;  // nothing written yet: the buffer has not begun to play anything
    }
    if (publishes != seenPublishes_) {
        seenPublishes_ = publishes;
        starved_ = false;  // a writer only publishes at or after the cursor it polled
    }
    int ahead = writtenUpTo_.load(std::memory_order_relaxed) - position;
    if (ahead < 0) {
        ahead += kFrames;
    }
    // Once passed, the written frames lie a whole loop ahead: the buffer stays starved until the
    // writer publishes again.
    starved_ = starved_ || ahead < frames;
    return starved_;
}

bool LoopBuffer::mixInto(int32_t* acc, int frames, int deviceChannels) {
    if (!started_.load(std::memory_order_acquire)) {
        return false;
    }
    int position = playCursor_.load(std::memory_order_relaxed);
    const bool starved = shortOfFrames(position, frames);  // what was published is visible now
    const float target = targetGain_.load(std::memory_order_relaxed);
    const float from = gain_;
    const int channels = this->channels();
    const int first = firstChannel(deviceChannels);
    const bool steady = from == target;
    for (int i = 0; i < frames; ++i) {
        // A change ramps linearly over the block, so that volume steps never click.
        const float gain = steady ? target : from + (target - from) * (i + 1) / frames;
        const int16_t* frame = &samples_[static_cast<std::size_t>(position) * channels];
        int32_t* slot = acc + i * deviceChannels + first;
        for (int c = 0; c < channels; ++c) {
            const int16_t sample = loadShared(frame[c]);
            slot[c] += gain == 1.0f ? sample : static_cast<int32_t>(std::lrint(sample * gain));
        }
        if (++position == kFrames) {
            position = 0;
        }
    }
    gain_ = target;
    playCursor_.store(position, std::memory_order_release);
    return starved;
}
