#include "sound/AudioDevice.h"

#include <algorithm>
#include <limits>

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
    while (frames > 0) {
        const int chunk = std::min(frames, kChunkFrames);
        const int samples = chunk * channels_;
        std::fill_n(acc_.begin(), samples, 0);
        for (int b = 0; b < count; ++b) {
            buffers_[b]->mixInto(acc_.data(), chunk, channels_);
        }
        for (int i = 0; i < samples; ++i) {
            out[i] = static_cast<int16_t>(std::clamp<int32_t>(
                acc_[i], std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
        }
        out += samples;
        frames -= chunk;
    }
}
