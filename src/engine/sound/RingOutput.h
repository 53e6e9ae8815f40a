#pragma once

#include <cstdint>

#include "engine/sound/SoundOutput.h"

// What every back-end shares: the frames queued on the device ring, the resampling phase, the
// zero-order-hold resampling at the deck's pitch and the count of what the device consumed. Frames
// here are stereo frames: source frames at the deck's speed, device frames at 44100 Hz. Audio
// thread, like the output's writes.
class RingOutput : public SoundOutput {
  public:
    static constexpr int kRing = kDeviceRingFrames;

    int pendingSamples() override;

    int queued() const { return queued_; }
    int phase() const { return phase_; }

  protected:
    // A cursor that moved back by less than wrapThreshold frames counts as a wrap of the ring.
    explicit RingOutput(int wrapThreshold) : wrapThreshold_(wrapThreshold) {}

    static int wrap(int position) { return position >= kRing ? position - kRing : position; }

    // Device frames that count source frames make at the current pitch and phase.
    int framesOut(int count) const { return (phase_ + count * kUnityPitch) / pitch; }

    // Repeats or skips source frames to the pitch: emit(k, frame) for the k-th device frame, k
    // counting from 0. Returns the number emitted, which always equals framesOut(count).
    template <class Emit>
    int resample(const int16_t* frames, int count, Emit&& emit) {
        int emitted = 0;
        for (int i = 0; i < count; ++i) {
            phase_ += kUnityPitch;
            while (phase_ >= pitch) {
                emit(emitted++, frames + 2 * i);
                phase_ -= pitch;
            }
        }
        return emitted;
    }

    int32_t queued_ = 0;
    int32_t phase_ = 0;
    int32_t devicePosition_ = 0;  // the polled cursor from which consumption is counted

  private:
    const int wrapThreshold_;
};
