#pragma once

#include <cstdint>

// The MP3 decoder as a deck uses it: one input at a time, delivered in MP3 frames of 1152
// samples per channel (1152 stereo frames) at 44100 Hz, signed 16-bit, interleaved when stereo.
// One thread at a time: a loader opens it and seeks to the start, then hands it to the audio
// thread, which decodes and seeks.
class Decoder {
  public:
    static constexpr int kFrameSamples = 1152;  // stereo frames per MP3 frame
    static constexpr int kStereoFrameBytes = kFrameSamples * 4;
    static constexpr int kMonoFrameBytes = kFrameSamples * 2;

    // Results of decode().
    static constexpr int kDecoded = 0;
    static constexpr int kTryAgain = -600;
    static constexpr int kEnded = -1;  // end of stream or an error that ends it

    virtual ~Decoder() = default;

    // Names the file the next open() reads.
    virtual void newInput(const char* path) = 0;
    // Ends the current input; decode() then reports the end.
    virtual void close() = 0;
    // Returns false when the input cannot be opened at all.
    virtual bool open() = 0;
    // Decodes one MP3 frame into dest (room for 1152 stereo frames), or discards it when dest is
    // null. Returns kDecoded, kTryAgain or another value that ends decoding.
    virtual int decode(int16_t* dest) = 0;
    // Bytes of the frame just decoded: 4608 stereo, 2304 mono.
    virtual int frameBytes() const = 0;
    // Where the next MP3 frame starts, and where to go: stream positions, 0..1.
    virtual float streamPosition() const = 0;
    virtual void seekTo(float position) = 0;
    // Length of the track in whole seconds; 0 when unusable.
    virtual int lengthSeconds() const = 0;
    // The file's size in bytes (low 32 bits), as the file system reports it.
    virtual uint32_t inputSize() const = 0;
};
