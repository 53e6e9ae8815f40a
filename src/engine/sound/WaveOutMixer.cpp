#include "engine/sound/WaveOutMixer.h"

#include <algorithm>

#include "core/SharedValue.h"

WaveOutMixer::WaveOutMixer(std::unique_ptr<WaveDevice> device,
                           std::unique_ptr<PlaybackStream> stream)
    : device_(std::move(device)), stream_(std::move(stream)) {
    for (Input& input : inputs_) {
        input.ring.resize(2 * static_cast<std::size_t>(kFrames));
    }
}

WaveOutMixer::~WaveOutMixer() {
    closeMixer();
}

void WaveOutMixer::closeMixer() {
    device_->stop();
    stream_.reset();
}

void WaveOutMixer::updatePlayPosition() {
    playPosition_ = static_cast<int>(
        (device_->bytesPlayed() / WaveDevice::kBytesPerFrame + kLeadFrames) % kFrames);
}

int WaveOutMixer::distanceAhead(int o, int a) const {
    const int p = playPosition_;
    if (a < o && !(a < p && p <= o)) {
        return o - a;
    }
    if (o <= a && o < p && p <= a) {
        return o - a + kFrames;
    }
    return -1;
}

template <class Make>
void WaveOutMixer::fill(int from, int count, Make&& make) {
    int16_t* mix = device_->samples();
    for (int k = 0; k < count; ++k) {
        const int at = (from + k) % kFrames;
        storeShared(mix[2 * at], make(2 * at));
        storeShared(mix[2 * at + 1], make(2 * at + 1));
    }
    device_->publish();
}

void WaveOutMixer::mixIn(int input, int from, int count) {
    Input& self = inputs_[input];
    const Input& other = inputs_[1 - input];
    self.silent = false;
    self.writePosition = (from + count) % kFrames;
    if (other.silent) {
        fill(from, count, [&](int i) { return static_cast<int16_t>(self.ring[i] / 2); });
        return;
    }
    const int distance = distanceAhead(other.writePosition, from);
    if (distance >= 0) {
        const Input& first = inputs_[0];
        const Input& second = inputs_[1];
        fill(from, std::min(count, distance), [&](int i) {
            return static_cast<int16_t>((int32_t{first.ring[i]} + second.ring[i]) / 2);
        });
    }
    // Otherwise the other input mixes this region when it writes it.
}

void WaveOutMixer::inputSilent(int input, int at) {
    Input& self = inputs_[input];
    if (self.silent) {
        return;
    }
    self.silent = true;
    const Input& other = inputs_[1 - input];
    if (other.silent) {
        clearShared(device_->samples(), 2 * static_cast<std::size_t>(kFrames));
        device_->publish();
        return;
    }
    // The frames the other input left for this one to mix get the other's samples alone.
    const int distance = distanceAhead(other.writePosition, at);
    if (distance > 0) {
        fill(at, distance, [&](int i) { return static_cast<int16_t>(other.ring[i] / 2); });
    }
}
