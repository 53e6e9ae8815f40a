#include "engine/sound/WaveOutputs.h"

#include <algorithm>

#include "core/SharedValue.h"

void LevelOutput::flush() {
    writePosition_ = devicePosition_;
    queued_ = 0;
    phase_ = 0;
}

int LevelOutput::writeLevelled(int16_t* ring, const int16_t* frames, int count) {
    const int level = level_;
    return resample(frames, count, [&](int k, const int16_t* frame) {
        const int at = wrap(writePosition_ + k);
        for (int c = 0; c < 2; ++c) {
            const int16_t sample = level == kFullLevel
                                       ? frame[c]
                                       : static_cast<int16_t>(frame[c] * level / kFullLevel);
            storeShared(ring[2 * at + c], sample);
        }
    });
}

WaveOutOutput::WaveOutOutput(std::unique_ptr<WaveDevice> device,
                             std::unique_ptr<PlaybackStream> stream)
    : device_(std::move(device)), stream_(std::move(stream)) {}

WaveOutOutput::~WaveOutOutput() {
    device_->stop();
    stream_.reset();
}

void WaveOutOutput::write(const int16_t* frames, int count) {
    if (count == 0) {
        return;
    }
    int16_t* ring = device_->samples();
    if (level_ == 0) {
        for (int k = 0; k < count; ++k) {
            clearShared(&ring[2 * ((writePosition_ + k) % kRing)], 2);
        }
    }
    const int out = writeLevelled(ring, frames, count);
    writePosition_ = wrap(writePosition_ + out);
    queued_ += out;
    device_->publish();
}

void WaveOutOutput::poll() {
    devicePosition_ = static_cast<int>(device_->bytesPlayed() / WaveDevice::kBytesPerFrame % kRing);
}

void WaveOutOutput::fillSilence() {
    // From the write position round to the play position: the whole ring when they meet.
    int16_t* ring = device_->samples();
    int at = writePosition_;
    do {
        clearShared(&ring[2 * at], 2);
        at = wrap(at + 1);
    } while (at != devicePosition_);
    writePosition_ = devicePosition_;
    device_->publish();
}

const char* WaveOutOutput::start() {
    device_->start();
    return nullptr;
}

MixedWaveOutput::MixedWaveOutput(WaveOutMixer& mixer, int input) : mixer_(mixer), input_(input) {}

void MixedWaveOutput::write(const int16_t* frames, int count) {
    if (count == 0) {
        return;  // an empty write must not make the input count as playing
    }
    const int out = framesOut(count);
    if (level_ == 0) {
        mixer_.inputSilent(input_, writePosition_);
    } else {
        writeLevelled(mixer_.inputRing(input_), frames, count);
        mixer_.mixIn(input_, writePosition_, out);
    }
    writePosition_ = wrap(writePosition_ + out);
    queued_ += out;
}

void MixedWaveOutput::poll() {
    mixer_.updatePlayPosition();
    devicePosition_ = mixer_.playPosition();
}

void MixedWaveOutput::fillSilence() {
    mixer_.inputSilent(input_, writePosition_);
    writePosition_ = devicePosition_;
}
