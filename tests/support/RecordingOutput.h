#pragma once

#include <vector>

#include "engine/sound/SoundOutput.h"

// An output that keeps what the deck sends it.
class RecordingOutput : public SoundOutput {
  public:
    void write(const int16_t* frames, int count) override {
        ++writes;
        written.insert(written.end(), frames, frames + 2 * count);
    }
    void poll() override {}
    int pendingSamples() override { return 0; }
    void fillSilence() override { ++silences; }
    void setVolume(int) override {}
    void setCueVolume(int) override {}
    const char* start() override { return nullptr; }
    void flush() override { written.clear(); }

    // Frames written since the last flush, interleaved.
    std::vector<int16_t> written;
    int writes = 0;
    int silences = 0;
};
