#pragma once

#include <cstdint>

// Keeps a sum of decks within full scale. While the sum fits and no gain is left to release, it
// passes the sum on bit for bit. In a block with a sample over full scale the gain falls in a
// straight line to what brings the block's peaks under the ceiling, reaching each in time (the
// block is its only look-ahead, so it adds no latency), holds for 10 ms and then rises back
// towards unity, following a peak as it decays, at most a full unit per 100 ms. No allocation,
// no lock.
class PeakLimiter {
  public:
    static constexpr int kHoldFrames = 441;
    static constexpr int kReleaseFrames = 4410;  // for a full unit of gain
    // The level limited peaks are brought to, a little under full scale (-0.1 dB).
    static constexpr int32_t kCeiling = 32390;

    // audio (the device's callback): writes frames of `width` channels, each frame `stride` samples
    // after the last, from the wide sum in `sum` to `out`. The gain is shared by the frame's
    // channels.
    void apply(const int32_t* sum, int16_t* out, int frames, int stride, int width);

  private:
    static void write(const int32_t* sum, int16_t* out, int width, float gain);

    float gain_ = 1.0f;
    int hold_ = 0;
};
