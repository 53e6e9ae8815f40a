#include "engine/sound/AudioDevice.h"

#include <algorithm>

AudioDevice::AudioDevice(int channels) : channels_(channels) {}

LoopBuffer* AudioDevice::createBuffer(Placement placement) {
    const int index = bufferCount_.load(std::memory_order_relaxed);
    if (index == kMaxBuffers) {
        return nullptr;
    }
    buffers_[index] = std::make_unique<LoopBuffer>(placement);
    bufferCount_.store(index + 1, std::memory_order_release);
    return buffers_[index].get();
}

void AudioDevice::cursors(const LoopBuffer& buffer, int& play, int& write) const {
    play = buffer.playCursor();
    write = (play + blockFrames_.load(std::memory_order_relaxed)) % LoopBuffer::kFrames;
}

void AudioDevice::mix(int16_t* out, int frames) {
    const int count = bufferCount_.load(std::memory_order_acquire);
    bool starved = false;
    while (frames > 0) {
        const int chunk = std::min(frames, kChunkFrames);
        const int samples = chunk * channels_;
        std::fill_n(acc_.begin(), samples, 0);
        for (int b = 0; b < count; ++b) {
            starved = buffers_[b]->mixInto(acc_.data(), chunk, channels_) || starved;
        }
        // Each pair of speakers has a limiter of its own: a loud front never ducks the rear.
        for (int pair = 0; pair < channels_ / 2; ++pair) {
            limiters_[pair].apply(acc_.data() + 2 * pair, out + 2 * pair, chunk, channels_, 2);
        }
        out += samples;
        frames -= chunk;
    }
    if (starved) {
        underruns_.fetch_add(1, std::memory_order_relaxed);
    }
}
