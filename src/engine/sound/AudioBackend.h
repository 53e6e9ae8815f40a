#pragma once

#include <memory>
#include <string>

#include "engine/sound/MixSource.h"

// Why a playback device could not be opened.
enum class DeviceError { None, Busy, OutOfMemory, Other };

// The system's playback devices: SDL for the program, a clock the test advances for tests. Main
// thread only; the source is then called on the device's own thread.
class AudioBackend {
  public:
    virtual ~AudioBackend() = default;
    // Opens the named device (empty: the default one) at 44100 Hz, 16 bits, with the source's
    // channels, and has it play the source; null, with the reason, when it cannot.
    virtual std::unique_ptr<PlaybackStream> open(const std::string& name, MixSource& source,
                                                 DeviceError& error) = 0;
    // The name of the system's n-th playback device, or empty when there is none.
    virtual std::string deviceName(int index) = 0;
};
