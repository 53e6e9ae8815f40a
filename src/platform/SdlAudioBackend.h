#pragma once

#include "engine/sound/AudioBackend.h"

// Playback devices through SDL's audio subsystem (no SDL video). With SDL_AUDIODRIVER=disk the
// mixed output goes to a file, which is how end-to-end tests hear what is played.
class SdlAudioBackend : public AudioBackend {
  public:
    SdlAudioBackend();
    ~SdlAudioBackend() override;
    SdlAudioBackend(const SdlAudioBackend&) = delete;
    SdlAudioBackend& operator=(const SdlAudioBackend&) = delete;

    std::unique_ptr<PlaybackStream> open(const std::string& name, MixSource& source,
                                         DeviceError& error) override;
    std::string deviceName(int index) override;

  private:
    bool initialised_ = false;
};
