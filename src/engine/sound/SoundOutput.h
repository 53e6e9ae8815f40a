#pragma once

#include <cstdint>

// Where a deck's audio goes: a looping device ring filled ahead of the card's play position with
// the deck's 44100 Hz stereo frames, resampled to the deck's pitch. start() runs on the main thread
// before the audio thread exists; setCueVolume on the main thread; setVolume on the main thread
// (buffer outputs) or the audio thread (level outputs, which apply the level while writing); all
// the others on the audio thread. Counts are in stereo frames.
class SoundOutput {
  public:
    static constexpr int kUnityPitch = 4096;
    static constexpr int kDeviceRingFrames = 221184;  // stereo frames at the device

    virtual ~SoundOutput() = default;

    // Queues `stereoFrames` source frames (interleaved left, right) after what is already queued,
    // at the current pitch.
    virtual void write(const int16_t* frames, int stereoFrames) = 0;
    // Reads the device cursors, so that time spent paused is not later counted as played.
    virtual void poll() = 0;
    // Source stereo frames written and not yet heard.
    virtual int pendingSamples() = 0;
    // Silences the ring from the write position up to the play position.
    virtual void fillSilence() = 0;
    // Levels from 0 (silent) to 256 (full).
    virtual void setVolume(int level) = 0;
    virtual void setCueVolume(int level) = 0;
    // Main thread, at start-up: starts the device; returns a start-up error message, or null.
    virtual const char* start() = 0;
    // Drops everything queued; the next write starts at the earliest place still to be played.
    virtual void flush() = 0;
    // A flush for a deck that was silent: what the card plays next held only silence, so the next
    // write may start there, a block sooner than after a flush, and is heard that much sooner.
    virtual void flushSilent() { flush(); }
    // main: stops or resumes the calls of a card the output has to itself; a card shared between
    // outputs is the sound system's to pause.
    virtual void setPaused(bool) {}

    // Playback speed x 4096, written by the deck on the audio thread, read at every write.
    int32_t pitch = kUnityPitch;
};
