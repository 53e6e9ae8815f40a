#pragma once

#include <memory>

#include "engine/sound/RingOutput.h"
#include "engine/sound/WaveDevice.h"
#include "engine/sound/WaveOutMixer.h"

// The outputs that apply the deck's level to the samples as they write them (linearly), on
// devices that report only how much they played: a card of its own per deck, or one card shared
// through the WaveOutMixer.
class LevelOutput : public RingOutput {
  public:
    static constexpr int kFullLevel = 256;

    void setVolume(int level) override { level_ = level; }
    void setCueVolume(int) override {}
    void flush() override;

    int writePosition() const { return writePosition_; }

  protected:
    LevelOutput() : RingOutput(0) {}

    // audio: resamples into ring at the write position, each sample scaled by the level. Returns
    // the number of stereo frames written.
    int writeLevelled(int16_t* ring, const int16_t* frames, int count);

    int level_ = kFullLevel;
    int writePosition_ = 0;
};

// A deck on a card of its own.
class WaveOutOutput : public LevelOutput {
  public:
    WaveOutOutput(std::unique_ptr<WaveDevice> device, std::unique_ptr<PlaybackStream> stream);
    // Stops the card before its ring goes.
    ~WaveOutOutput() override;

    void write(const int16_t* frames, int count) override;
    void poll() override;
    void fillSilence() override;
    const char* start() override;
    void setPaused(bool paused) override { stream_->setPaused(paused); }

  private:
    std::unique_ptr<WaveDevice> device_;
    std::unique_ptr<PlaybackStream> stream_;
};

// A deck as one input of the WaveOutMixer.
class MixedWaveOutput : public LevelOutput {
  public:
    MixedWaveOutput(WaveOutMixer& mixer, int input);

    void write(const int16_t* frames, int count) override;
    void poll() override;
    void fillSilence() override;
    const char* start() override { return nullptr; }  // the sound system starts the mixer

  private:
    WaveOutMixer& mixer_;
    const int input_;
};
