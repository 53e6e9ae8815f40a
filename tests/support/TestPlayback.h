#pragma once

#include <set>
#include <string>
#include <vector>

#include "engine/sound/AudioBackend.h"

// A driver whose clock the test advances: no thread, no sleep. It plays its source in blocks of
// 256 frames and keeps everything played.
class TestPlayback : public PlaybackStream {
  public:
    static constexpr int kBlock = 256;

    explicit TestPlayback(MixSource& source)
        : source_(source), block_(static_cast<std::size_t>(kBlock) * source.channels()) {}

    int blockFrames() const override { return kBlock; }
    void setPaused(bool paused) override { this->paused = paused; }
    int channels() const { return source_.channels(); }

    // A paused card's clock stands still.
    void advance(int frames) {
        if (paused) {
            return;
        }
        for (; frames > 0; frames -= kBlock) {
            const int n = std::min(frames, kBlock);
            source_.mix(block_.data(), n);
            if (keepPlayed) {
                played.insert(played.end(), block_.begin(),
                              block_.begin() + n * source_.channels());
            }
        }
    }

    std::vector<int16_t> played;
    bool paused = false;
    bool keepPlayed = true;  // off, the clock itself allocates nothing

  private:
    MixSource& source_;
    std::vector<int16_t> block_;
};

// Two devices on test clocks.
class TestBackend : public AudioBackend {
  public:
    std::unique_ptr<PlaybackStream> open(const std::string& name, MixSource& source,
                                         DeviceError& error) override {
        opened.push_back(name + "/" + std::to_string(source.channels()));
        error = DeviceError::None;
        auto stream = std::make_unique<TestPlayback>(source);
        streams.push_back(stream.get());
        return stream;
    }
    std::string deviceName(int index) override {
        return index < 2 ? "card " + std::to_string(index) : std::string();
    }

    std::vector<std::string> opened;     // "name/channels"
    std::vector<TestPlayback*> streams;  // valid while the sound system holds them
};

// Blocks of every card of the backend, with both decks served four times after each, as the audio
// thread would serve them.
template <class Deck>
void playBlocks(TestBackend& backend, Deck& deck0, Deck& deck1, int blocks) {
    for (int b = 0; b < blocks; ++b) {
        for (TestPlayback* clock : backend.streams) {
            clock->advance(TestPlayback::kBlock);
        }
        for (int s = 0; s < 4; ++s) {
            deck0.serviceStep();
            deck1.serviceStep();
        }
    }
}
