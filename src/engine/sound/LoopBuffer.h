#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

// Where a mono buffer sits among the four speakers of a four-channel device.
enum class Placement { Stereo, FrontLeft, FrontRight, RearLeft, RearRight };

// One looping buffer of a device: 221184 frames (stereo frames, or mono samples for a speaker)
// that the device plays over and over once started, at a volume in hundredths of a decibel. The
// writer (the audio thread) fills it ahead of the write cursor and publishes; the main thread sets
// the volume and starts it; the device's mixer (the audio device callback) reads it and moves the
// play cursor on.
// Samples are shared as they are with a real card; each is read and written as one atomic
// access, so a writer that falls behind the card makes a glitch, never undefined behaviour.
class LoopBuffer {
  public:
    static constexpr int kFrames = 221184;
    static constexpr int kSilentVolume = -10000;

    explicit LoopBuffer(Placement placement);

    Placement placement() const { return placement_; }
    int channels() const { return placement_ == Placement::Stereo ? 2 : 1; }
    int16_t* samples() { return samples_.data(); }

    // Writer side: publish and playCursor on the audio thread, setVolume and start on the main
    // thread. publish makes the samples written so far visible to the mixer; writtenUpTo is the
    // frame after the last one written.
    void publish(int writtenUpTo) {
        writtenUpTo_.store(writtenUpTo, std::memory_order_relaxed);
        published_.fetch_add(1, std::memory_order_release);
    }
    int playCursor() const { return playCursor_.load(std::memory_order_acquire); }
    void setVolume(int hundredthsOfDecibel);
    void start() { started_.store(true, std::memory_order_release); }

    // Mixer side: adds frames from the play cursor to acc (deviceChannels interleaved), ramping
    // a volume change over the block, and moves the play cursor on. Returns whether the writer
    // was short: fewer frames were written ahead of the play cursor than the block needed (or the
    // cursor had already passed them and nothing was published since).
    bool mixInto(int32_t* acc, int frames, int deviceChannels);

  private:
    int firstChannel(int deviceChannels) const;

    const Placement placement_;
    std::vector<int16_t> samples_;
    std::atomic<int> playCursor_{0};
    std::atomic<unsigned> published_{0};
    std::atomic<int> writtenUpTo_{0};
    std::atomic<bool> started_{false};
    std::atomic<float> targetGain_{1.0f};
    // Mixer side only.
    float gain_ = 1.0f;
    unsigned seenPublishes_ = 0;
    bool starved_ = false;

    // Mixer side: whether the block of frames from position is short of written frames.
    bool shortOfFrames(int position, int frames);
};
