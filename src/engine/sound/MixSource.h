#pragma once

#include <cstdint>

// What a playback driver plays: each call hands over the next device frames (one sample per
// channel, interleaved).
// Drivers call it from their own thread (SDL's callback) or, in tests and offline rendering,
// from the caller's; it never allocates, locks or waits.
class MixSource {
  public:
    virtual ~MixSource() = default;
    virtual int channels() const = 0;
    virtual void mix(int16_t* out, int frames) = 0;
};

// A driver playing a MixSource; destroying it stops the calls.
class PlaybackStream {
  public:
    virtual ~PlaybackStream() = default;
    // Device frames the driver takes per call. Thread: any.
    virtual int blockFrames() const = 0;
    // main: stops the calls, and with them the device's clock, until resumed.
    virtual void setPaused(bool paused) = 0;
};
