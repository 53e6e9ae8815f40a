#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "engine/sound/MixSource.h"

// A sound card as the software-level outputs see it: one stereo ring of 221184 frames played in
// an endless loop from the moment it is started, and a running count of the bytes played. Like a
// LoopBuffer, its samples are read and written as single atomic accesses. Frames are stereo frames.
// samples, publish and bytesPlayed: the audio thread; start and stop: the main thread; mix: the
// device's callback.
class WaveDevice : public MixSource {
  public:
    static constexpr int kFrames = 221184;
    static constexpr int kBytesPerFrame = 4;

    WaveDevice();

    int16_t* samples() { return samples_.data(); }
    void publish() { published_.fetch_add(1, std::memory_order_release); }
    void start() { started_.store(true, std::memory_order_release); }
    void stop() { started_.store(false, std::memory_order_release); }
    // Bytes played since the start; 64 bits, so that the ring position never jumps.
    int64_t bytesPlayed() const { return bytesPlayed_.load(std::memory_order_acquire); }

    int channels() const override { return 2; }
    void mix(int16_t* out, int frames) override;

  private:
    std::vector<int16_t> samples_;
    std::atomic<unsigned> published_{0};
    std::atomic<bool> started_{false};
    std::atomic<int64_t> bytesPlayed_{0};
    int position_ = 0;  // mixer side only
};
