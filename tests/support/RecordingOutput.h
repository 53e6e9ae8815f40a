#pragma once

#include "engine/sound/SoundOutput.h"

// An output that counts what the deck sends it.
class RecordingOutput : public SoundOutput {
  public:
    void write(const int16_t*, int) override { ++writes; }
    void poll() override {}
    int pendingSamples() override { return 0; }
    void fillSilence() override {}
    void setVolume(int) override {}
    void setCueVolume(int) override {}
    const char* start() override { return nullptr; }
    void flush() override {}

    int writes = 0;
};
