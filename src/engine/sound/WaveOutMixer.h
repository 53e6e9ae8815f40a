#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/sound/WaveDevice.h"

// Both decks on one card in software: each deck's output writes into a ring of its own and the
// mixer averages the two into the ring the device plays. Every region is mixed once, by whichever
// input writes it second; an input alone is heard at half amplitude, so the level does not jump
// when the other deck starts or stops, and two full decks never clip. Positions and counts are in
// stereo frames of the rings. Built, started and closed on the main thread; the rest: audio thread.
class WaveOutMixer {
  public:
    static constexpr int kFrames = WaveDevice::kFrames;
    static constexpr int kLeadFrames = 256;  // the mixer works this far ahead of the device

    explicit WaveOutMixer(std::unique_ptr<WaveDevice> device,
                          std::unique_ptr<PlaybackStream> stream);
    ~WaveOutMixer();

    int16_t* inputRing(int input) { return inputs_[input].ring.data(); }

    void startMixer() { device_->start(); }
    // main: see PlaybackStream::setPaused.
    void setPaused(bool paused) { stream_->setPaused(paused); }
    void closeMixer();
    void updatePlayPosition();
    int playPosition() const { return playPosition_; }

    // Input i wrote frames [from, from + count): mix them where the other input has written too.
    void mixIn(int input, int from, int count);
    // Input i has nothing more to give from position at.
    void inputSilent(int input, int at);

    bool isSilent(int input) const { return inputs_[input].silent; }
    int writePosition(int input) const { return inputs_[input].writePosition; }

  private:
    struct Input {
        std::vector<int16_t> ring;
        bool silent = true;
        int writePosition = 0;
    };

    // How far o lies ahead of a in playing order, or -1 when it lies behind.
    int distanceAhead(int o, int a) const;
    // Each of count frames from from: the mix ring gets what make(sample index) gives.
    template <class Make>
    void fill(int from, int count, Make&& make);

    std::unique_ptr<WaveDevice> device_;
    std::unique_ptr<PlaybackStream> stream_;
    std::array<Input, 2> inputs_;
    int playPosition_ = 0;
};
