#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/sound/AudioBackend.h"

// A sound card with no clock of its own: whoever renders asks it for each block, as a card's
// callback would be asked. Blocks are device frames, one sample per channel.
class OfflineStream : public PlaybackStream {
  public:
    static constexpr int kBlockFrames = 256;  // as the program's card takes them

    explicit OfflineStream(MixSource& source) : source_(source) {}

    int blockFrames() const override { return kBlockFrames; }
    // Its clock is the render's asking: there is nothing to pause.
    void setPaused(bool) override {}
    int channels() const { return source_.channels(); }
    // The caller's thread: the next block into `out`, which holds kBlockFrames device frames.
    void pull(int16_t* out) { source_.mix(out, kBlockFrames); }

  private:
    MixSource& source_;
};

// Offline cards: every name opens one, and the system names none. Main thread.
class OfflineBackend : public AudioBackend {
  public:
    std::unique_ptr<PlaybackStream> open(const std::string& name, MixSource& source,
                                         DeviceError& error) override;
    std::string deviceName(int index) override;

    // The card last opened, null before; valid while the sound system holds it.
    OfflineStream* stream() { return stream_; }

  private:
    OfflineStream* stream_ = nullptr;
};
