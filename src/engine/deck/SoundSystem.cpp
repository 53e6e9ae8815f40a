#include "engine/deck/SoundSystem.h"

#include <algorithm>
#include <system_error>

#include "engine/sound/BufferOutput.h"
#include "engine/sound/WaveOutputs.h"

namespace {

constexpr int kStereo = 2;
constexpr int kFourSpeakers = 4;

}  // namespace

SoundSystem::SoundSystem(AudioBackend& backend, EngineState& engine, DecoderFactory makeDecoder)
    : backend_(backend), engine_(engine), makeDecoder_(std::move(makeDecoder)) {}

SoundSystem::~SoundSystem() {
    closeSound();
}

const char* SoundSystem::openBufferDevice(const std::string& name, int channels,
                                          BufferDevice& into) {
    into.device = std::make_unique<AudioDevice>(channels);
    DeviceError error = DeviceError::None;
    into.stream = backend_.open(name, *into.device, error);
    if (!into.stream) {
        into.device.reset();
        switch (error) {
            case DeviceError::Busy:
                return kSoundCardBusyMessage;
            case DeviceError::OutOfMemory:
                return kSoundDriverMemoryMessage;
            default:
                return kSoundDriverMessage;
        }
    }
    into.device->setBlockFrames(into.stream->blockFrames());
    underruns_.watch(&into == &device2_ ? 1 : 0, into.device.get());
    return nullptr;
}

const char* SoundSystem::openWaveCard(const std::string& name, WaveCard& into) {
    into.device = std::make_unique<WaveDevice>();
    DeviceError error = DeviceError::None;
    into.stream = backend_.open(name, *into.device, error);
    return into.stream ? nullptr : kSoundCardUnavailableMessage;
}

const char* SoundSystem::buildOutputs(const SoundConfig& s,
                                      std::array<std::unique_ptr<SoundOutput>, 2>& outputs) {
    const char* error = nullptr;
    if (s.use3dCard && s.useDirectSound && !s.useTwoCards) {
        if ((error = openBufferDevice(s.soundCard, kFourSpeakers, device1_))) {
            return error;
        }
        const int depth = s.swap3dOutput ? -1 : 1;
        AudioDevice& card = *device1_.device;
        if (s.splitCueOutput) {
            outputs[0] = std::make_unique<QuadCueOutput>(card, depth);
            outputs[1] = std::make_unique<QuadCueOutput>(card, depth);
        } else {
            outputs[0] = std::make_unique<QuadPairOutput>(card, depth);
            outputs[1] = std::make_unique<QuadPairOutput>(card, -depth);
        }
    } else if (!s.useDirectSound && !s.useTwoCards) {
        WaveCard card;
        if ((error = openWaveCard({}, card))) {
            return error;
        }
        mixer_ = std::make_unique<WaveOutMixer>(std::move(card.device), std::move(card.stream));
        outputs[0] = std::make_unique<MixedWaveOutput>(*mixer_, 0);
        outputs[1] = std::make_unique<MixedWaveOutput>(*mixer_, 1);
    } else if (!s.useDirectSound) {
        // The first two cards of the system; the device names of the settings do not apply.
        for (int i = 0; i < 2; ++i) {
            const std::string name = backend_.deviceName(i);
            WaveCard card;
            if (name.empty()) {
                return kSoundCardUnavailableMessage;
            }
            if ((error = openWaveCard(name, card))) {
                return error;
            }
            outputs[i] =
                std::make_unique<WaveOutOutput>(std::move(card.device), std::move(card.stream));
        }
    } else if (!s.useTwoCards) {
        if ((error = openBufferDevice(s.soundCard, kStereo, device1_))) {
            return error;
        }
        outputs[0] = std::make_unique<DirectSoundOutput>(*device1_.device);
        outputs[1] = std::make_unique<DirectSoundOutput>(*device1_.device);
    } else {
        if ((error = openBufferDevice(s.soundCard1, kStereo, device1_)) ||
            (error = openBufferDevice(s.soundCard2, kStereo, device2_))) {
            return error;
        }
        if (s.splitCueOutput) {
            outputs[0] = std::make_unique<TwoCardOutput>(*device1_.device, *device2_.device);
            outputs[1] = std::make_unique<TwoCardOutput>(*device1_.device, *device2_.device);
        } else {
            outputs[0] = std::make_unique<DirectSoundOutput>(*device1_.device);
            outputs[1] = std::make_unique<DirectSoundOutput>(*device2_.device);
        }
    }
    return nullptr;
}

const char* SoundSystem::openSound(const SoundConfig& config, bool withAudioThread) {
    std::array<std::unique_ptr<SoundOutput>, 2> outputs;
    if (const char* error = buildOutputs(config, outputs)) {
        return error;
    }
    if (mixer_) {
        mixer_->startMixer();
    }
    for (int i = 0; i < 2; ++i) {
        decks_[i] = std::make_unique<Deck>(std::move(outputs[i]), i, engine_, makeDecoder_);
        engine_.decks[i] = decks_[i].get();
    }
    for (auto& deck : decks_) {
        if (const char* error = deck->output().start()) {
            return error;
        }
    }
    if (!withAudioThread) {
        return nullptr;  // the caller serves the decks and asks for blocks: nothing rests
    }
    engine_.deviceRest = this;
    lastRequest_ = std::chrono::steady_clock::now();
    try {
        thread_ = std::make_unique<AudioThread>(*decks_[0], *decks_[1], engine_.serviceWake);
    } catch (const std::system_error&) {
        return kNoThreadMessage;
    }
    return nullptr;
}

void SoundSystem::pauseDevices(bool paused) {
    for (BufferDevice* device : {&device1_, &device2_}) {
        if (device->stream) {
            device->stream->setPaused(paused);
        }
    }
    for (const auto& deck : decks_) {
        deck->output().setPaused(paused);  // the cards outputs have to themselves
    }
    if (mixer_) {
        mixer_->setPaused(paused);
    }
    resting_ = paused;
}

void SoundSystem::wakeDevices() {
    lastRequest_ = std::chrono::steady_clock::now();
    if (resting_) {
        pauseDevices(false);
    }
}

void SoundSystem::restDevices(std::chrono::steady_clock::time_point now) {
    if (resting_ || !decks_[0] || !decks_[1]) {
        return;
    }
    for (const auto& deck : decks_) {
        // A play the thread has not taken up yet counts as playing.
        if (deck->playing() || deck->transportRequest() == Deck::Transport::Play) {
            lastPlaying_ = now;
            return;
        }
    }
    // Counted from the last request or, for a track that ended by itself, from its end.
    if (now - std::max(lastRequest_, lastPlaying_) >= kRestDelay) {
        pauseDevices(true);
    }
}

void SoundSystem::closeSound() {
    // Once the audio thread stops, the cards run dry: what they count from then is no underrun.
    underruns_.watch(0, nullptr);
    underruns_.watch(1, nullptr);
    engine_.deviceRest = nullptr;
    if (thread_) {
        thread_->stop();
        thread_.reset();
    }
    for (int i = 0; i < 2; ++i) {
        decks_[i].reset();
        engine_.decks[i] = nullptr;
    }
    for (BufferDevice* device : {&device1_, &device2_}) {
        device->stream.reset();
        device->device.reset();
    }
    mixer_.reset();
    resting_ = false;  // nothing left to rest: a system opened again starts awake
}
