#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "engine/deck/AudioThread.h"
#include "engine/deck/Deck.h"
#include "engine/sound/AudioBackend.h"
#include "engine/sound/AudioDevice.h"
#include "engine/sound/SoundConfig.h"
#include "engine/sound/UnderrunReport.h"
#include "engine/sound/WaveOutMixer.h"

inline constexpr const char* kSoundCardBusyMessage =
    "The sound card is already used by another application";
inline constexpr const char* kSoundDriverMemoryMessage =
    "Error in the sound card driver: not enough memory";
inline constexpr const char* kSoundDriverMessage = "Error in the sound driver of DirectX";
inline constexpr const char* kSoundCardUnavailableMessage =
    "The sound card is unavailable. It may be in use by another application";
inline constexpr const char* kNoThreadMessage =
    "Multi-thread operation impossible. You must execute Spinora from a multi-thread OS";

// Opens the sound devices the configuration chooses, builds both decks with their outputs and runs
// the audio thread; tears it all down in the reverse order. While both decks stand paused the
// cards rest (their callbacks stop) until the next deck request. Main thread only.
class SoundSystem : public DeviceRest {
  public:
    using DecoderFactory = std::function<std::unique_ptr<Decoder>()>;

    SoundSystem(AudioBackend& backend, EngineState& engine, DecoderFactory makeDecoder);
    ~SoundSystem() override;
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    // Returns the start-up error message, or null. What was created before an error stays until
    // closeSound. Without the audio thread the caller serves the decks itself (offline rendering).
    const char* openSound(const SoundConfig& config, bool withAudioThread = true);
    // Stops the audio thread, then destroys the decks (which store their records), then releases
    // the devices.
    void closeSound();

    // Called at least every 100 ms. Rests the cards once both decks have stood paused, with no
    // request, for kRestDelay (long
    // enough for a paused deck's short preview of a nudge to be heard, and for a few seconds of
    // silence to follow the end of a set). now: steady clock.
    void restDevices(std::chrono::steady_clock::time_point now);
    void wakeDevices() override;
    bool devicesResting() const { return resting_; }
    static constexpr auto kRestDelay = std::chrono::seconds(3);

    // A warning line when a card ran dry since the last one (at most one a second), else empty;
    // the totals of the run (kept after closeSound), empty when no card ran dry.
    std::string underrunWarning(std::chrono::steady_clock::time_point now) {
        return underruns_.poll(now);
    }
    std::string underrunTotals() const { return underruns_.totals(); }

    Deck* deck(int index) { return decks_[index].get(); }
    AudioThread* audioThread() { return thread_.get(); }

  private:
    struct BufferDevice {
        std::unique_ptr<AudioDevice> device;
        std::unique_ptr<PlaybackStream> stream;
    };
    struct WaveCard {
        std::unique_ptr<WaveDevice> device;
        std::unique_ptr<PlaybackStream> stream;
    };

    const char* openBufferDevice(const std::string& name, int channels, BufferDevice& into);
    const char* openWaveCard(const std::string& name, WaveCard& into);
    const char* buildOutputs(const SoundConfig& config,
                             std::array<std::unique_ptr<SoundOutput>, 2>& outputs);
    void pauseDevices(bool paused);

    AudioBackend& backend_;
    EngineState& engine_;
    DecoderFactory makeDecoder_;
    BufferDevice device1_;
    BufferDevice device2_;
    UnderrunReport underruns_;
    std::unique_ptr<WaveOutMixer> mixer_;
    std::array<std::unique_ptr<Deck>, 2> decks_;
    std::unique_ptr<AudioThread> thread_;
    std::chrono::steady_clock::time_point lastRequest_{};
    std::chrono::steady_clock::time_point lastPlaying_{};
    bool resting_ = false;
};
