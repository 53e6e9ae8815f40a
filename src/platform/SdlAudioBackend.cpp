#include "platform/SdlAudioBackend.h"

#include "core/RealTimeGuard.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>

namespace {

constexpr int kSampleRate = 44100;
constexpr Uint16 kBlockFrames = 256;

class SdlStream : public PlaybackStream {
  public:
    SdlStream(SDL_AudioDeviceID id, int blockFrames) : id_(id), blockFrames_(blockFrames) {}
    ~SdlStream() override {
        setPaused(false);  // the device's thread must run to end
        SDL_CloseAudioDevice(id_);
    }
    int blockFrames() const override { return blockFrames_; }
    // A paused SDL device still wakes every block to play silence; holding its lock keeps its
    // thread asleep instead, and the driver plays silence of its own meanwhile.
    void setPaused(bool paused) override {
        if (paused == paused_) {
            return;
        }
        paused_ = paused;
        if (paused) {
            SDL_PauseAudioDevice(id_, 1);
            SDL_LockAudioDevice(id_);
        } else {
            SDL_UnlockAudioDevice(id_);
            SDL_PauseAudioDevice(id_, 0);
        }
    }

  private:
    SDL_AudioDeviceID id_;
    int blockFrames_;
    bool paused_ = false;
};

void playSource(void* userdata, Uint8* stream, int length) {
    const realtime::Scope realTime;
    auto* source = static_cast<MixSource*>(userdata);
    const int frameBytes = 2 * source->channels();
    source->mix(reinterpret_cast<int16_t*>(stream), length / frameBytes);
}

DeviceError errorOf(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (text.find("busy") != std::string::npos || text.find("in use") != std::string::npos) {
        return DeviceError::Busy;
    }
    if (text.find("memory") != std::string::npos) {
        return DeviceError::OutOfMemory;
    }
    return DeviceError::Other;
}

}  // namespace

SdlAudioBackend::SdlAudioBackend() {
    // Without this SDL takes Ctrl+C away from the program.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    initialised_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

SdlAudioBackend::~SdlAudioBackend() {
    if (initialised_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

std::unique_ptr<PlaybackStream> SdlAudioBackend::open(const std::string& name, MixSource& source,
                                                      DeviceError& error) {
    if (!initialised_) {
        error = DeviceError::Other;
        return nullptr;
    }
    SDL_AudioSpec want{};
    want.freq = kSampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(source.channels());
    want.samples = kBlockFrames;
    want.callback = playSource;
    want.userdata = &source;
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID id =
        SDL_OpenAudioDevice(name.empty() ? nullptr : name.c_str(), 0, &want, &have, 0);
    if (id == 0) {
        error = errorOf(SDL_GetError());
        return nullptr;
    }
    SDL_PauseAudioDevice(id, 0);
    error = DeviceError::None;
    return std::make_unique<SdlStream>(id, have.samples);
}

std::string SdlAudioBackend::deviceName(int index) {
    if (!initialised_ || index >= SDL_GetNumAudioDevices(0)) {
        return {};
    }
    const char* name = SDL_GetAudioDeviceName(index, 0);
    return name != nullptr ? name : std::string();
}
