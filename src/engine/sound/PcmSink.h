#pragma once

#include <cstdint>

// Where rendered sound goes: 44100 Hz, 16-bit stereo frames, interleaved left and right.
class PcmSink {
  public:
    virtual ~PcmSink() = default;
    // Appends the frames; false once the sink failed (it keeps the reason). Thread: the caller's.
    virtual bool write(const int16_t* frames, int stereoFrames) = 0;
};
