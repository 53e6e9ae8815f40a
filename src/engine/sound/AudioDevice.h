#pragma once

#include <array>
#include <atomic>
#include <memory>

#include "engine/sound/LoopBuffer.h"
#include "engine/sound/MixSource.h"
#include "engine/sound/PeakLimiter.h"

// A sound card as the buffer-volume outputs see it: looping buffers of their own, each with a
// play cursor, a write cursor and a volume, mixed by the device into its 2 or 4 channels, with
// a peak limiter on each pair of channels so that decks summing over full scale never clip.
// Frames are device frames, one sample per channel (44100 Hz).
class AudioDevice : public MixSource {
  public:
    static constexpr int kMaxBuffers = 8;
    static constexpr int kDefaultBlockFrames = 256;

    explicit AudioDevice(int channels);

    // main: a new buffer, silent until started; it lives as long as the device.
    LoopBuffer* createBuffer(Placement placement);

    // audio: the play cursor (the frames handed to the driver so far, the last block of them being
    // played), and the write cursor one block ahead of it: the earliest frame the driver has not
    // asked for yet.
    void cursors(const LoopBuffer& buffer, int& play, int& write) const;

    // main: frames the driver takes per call; set once the driver is open.
    void setBlockFrames(int frames) { blockFrames_.store(frames, std::memory_order_relaxed); }

    int channels() const override { return channels_; }
    // audio: the device's callback.
    void mix(int16_t* out, int frames) override;

    // any: the callbacks that found a started buffer short of written frames (an underrun).
    uint64_t underruns() const { return underruns_.load(std::memory_order_relaxed); }

  private:
    static constexpr int kChunkFrames = 1024;

    const int channels_;
    std::atomic<int> blockFrames_{kDefaultBlockFrames};
    std::array<std::unique_ptr<LoopBuffer>, kMaxBuffers> buffers_;
    std::atomic<int> bufferCount_{0};
    std::array<int32_t, kChunkFrames * 4> acc_{};
    std::array<PeakLimiter, 2> limiters_{};
    std::atomic<uint64_t> underruns_{0};
};
