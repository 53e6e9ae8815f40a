#pragma once

#include <vector>

#include "engine/sound/SoundOutput.h"

// An output that keeps what the deck sends it and answers pendingSamples as the test says.
class RecordingOutput : public SoundOutput {
  public:
    void write(const int16_t* frames, int count) override {
        ++writes;
        written.insert(written.end(), frames, frames + 2 * count);
        pitches.push_back(pitch);
    }
    void poll() override { ++polls; }
    int pendingSamples() override { return pending; }
    void fillSilence() override { ++silences; }
    void setVolume(int level) override { volumes.push_back(level); }
    void setCueVolume(int level) override { cueVolumes.push_back(level); }
    const char* start() override { return nullptr; }
    void flush() override {
        ++flushes;
        written.clear();
    }

    // Frames written since the last flush, interleaved.
    std::vector<int16_t> written;
    std::vector<int> pitches;
    std::vector<int> volumes;
    std::vector<int> cueVolumes;
    int writes = 0;
    int polls = 0;
    int silences = 0;
    int flushes = 0;
    int pending = 0;
};
