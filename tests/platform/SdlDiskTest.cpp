// The whole sound system on SDL's disk driver, which writes what the card would play to a file.
// These tests run in real time: the device takes its frames at the pace of a sound card.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>

#include "Mp3Fixtures.h"
#include "Waiting.h"
#include "engine/deck/DeckEvents.h"
#include "engine/deck/SoundSystem.h"
#include "engine/deck/TrackInfoStore.h"
#include "platform/Mpg123Decoder.h"
#include "platform/SdlAudioBackend.h"

namespace {

struct Ending : DeckEvents {
    void mixInto(int) override {}
    void trackEnded(int) override { ended = true; }
    std::atomic<bool> ended{false};
};

std::vector<int16_t> decodeAll(const std::string& path) {
    Mpg123Decoder decoder;
    decoder.newInput(path.c_str());
    decoder.open();
    std::vector<int16_t> pcm;
    std::vector<int16_t> frame(2 * Decoder::kFrameSamples);
    while (decoder.decode(frame.data()) == Decoder::kDecoded) {
        pcm.insert(pcm.end(), frame.begin(), frame.end());
    }
    return pcm;
}

class SdlDiskTest : public ::testing::Test {
  protected:
    SdlDiskTest() {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output().c_str(), 1);
        engine.store = &store;
        engine.events = &events;
    }

    std::string output() const { return (dir.path() / "played.raw").string(); }

    // Plays the track from its start on deck 0 until it has ended.
    std::vector<int16_t> play(const std::string& track) {
        {
            SdlAudioBackend backend;
            SoundSystem sound(backend, engine, makeMpg123Decoder);
            EXPECT_EQ(sound.openSound({}), nullptr);
            Deck& deck = *sound.deck(0);
            deck.requestLoad(track);
            EXPECT_TRUE(waitFor([&] { return !deck.loadPending(); }, std::chrono::seconds(15)));
            deck.requestPlay();
            EXPECT_TRUE(waitFor([&] { return events.ended.load(); }, std::chrono::seconds(15)));
            sound.closeSound();
        }
        const std::string bytes = fileText(output());
        std::vector<int16_t> pcm(bytes.size() / 2);
        std::memcpy(pcm.data(), bytes.data(), pcm.size() * 2);
        return pcm;
    }

    TempDir dir;
    TrackInfoStore store{{}, 1, 0};
    EngineState engine;
    Ending events;
};

TEST_F(SdlDiskTest, OneCardPlaysTheDecodedSamples) {
    const std::string track = dir.write("tone.mp3", encodeMp3(tone(440, 2.0)));
    std::vector<int16_t> decoded = decodeAll(track);
    decoded.resize(2 * 88200);  // without the silence that pads the last frame
    const std::vector<int16_t> played = play(track);
    EXPECT_NE(std::search(played.begin(), played.end(), decoded.begin(), decoded.end()),
              played.end())
        << "the decoded track is not in what the card played";
}

// A source that counts the device's calls.
struct CountingSource : MixSource {
    int channels() const override { return 2; }
    void mix(int16_t* out, int frames) override {
        std::fill_n(out, 2 * frames, int16_t{0});
        ++calls;
    }
    std::atomic<int> calls{0};
};

// A paused card calls nothing until resumed, then plays on; a paused card closes.
TEST_F(SdlDiskTest, PausedCardRestsAndPlaysOnWhenResumed) {
    SdlAudioBackend backend;
    CountingSource source;
    DeviceError error = DeviceError::None;
    std::unique_ptr<PlaybackStream> card = backend.open({}, source, error);
    ASSERT_NE(card, nullptr);
    ASSERT_TRUE(waitFor([&] { return source.calls > 2; }));
    card->setPaused(true);
    const int calls = source.calls;
    EXPECT_FALSE(waitFor([&] { return source.calls != calls; }, std::chrono::milliseconds(100)));
    card->setPaused(false);
    EXPECT_TRUE(waitFor([&] { return source.calls > calls + 2; }));
    card->setPaused(true);
    card.reset();
}

}  // namespace
