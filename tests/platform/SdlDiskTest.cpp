// The whole sound system on SDL's disk driver, which writes what the card would play to a file.
// These tests run in real time: the device takes its frames at the pace of a sound card.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>

#include "Mp3Fixtures.h"
#include "Waiting.h"
#include "engine/deck/DeckEvents.h"
#include "engine/deck/SoundSystem.h"
#include "engine/deck/TrackInfoStore.h"
#include "platform/Mpg123Decoder.h"
#include "platform/SdlAudioBackend.h"

namespace {

struct Endings : DeckEvents {
    void mixInto(int) override {}
    void trackEnded(int deck) override { ended[deck] = true; }
    std::atomic<bool> ended[2] = {false, false};
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

// Where needle starts in haystack (both interleaved stereo), or -1.
long find(const std::vector<int16_t>& haystack, const std::vector<int16_t>& needle) {
    const auto at = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end());
    return at == haystack.end() ? -1 : static_cast<long>(at - haystack.begin());
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

    // Plays the tracks from their start on the decks, until each has ended.
    std::vector<int16_t> play(SoundConfig settings, const std::vector<std::string>& tracks,
                              int pitch = 4096) {
        engine.useDirectSound = settings.useDirectSound;
        {
            SdlAudioBackend backend;
            SoundSystem sound(backend, engine, makeMpg123Decoder);
            EXPECT_EQ(sound.openSound(settings), nullptr);
            for (std::size_t d = 0; d < tracks.size(); ++d) {
                sound.deck(d)->requestLoad(tracks[d]);
                sound.deck(d)->requestPitch(pitch);
            }
            EXPECT_TRUE(waitFor(
                [&] {
                    for (std::size_t d = 0; d < tracks.size(); ++d) {
                        if (sound.deck(d)->loadPending() || sound.deck(d)->pendingPitch() != 0) {
                            return false;
                        }
                    }
                    return true;
                },
                std::chrono::seconds(15)));
            for (std::size_t d = 0; d < tracks.size(); ++d) {
                sound.deck(d)->requestPlay();
            }
            EXPECT_TRUE(
                waitFor([&] { return events.ended[0] && (tracks.size() < 2 || events.ended[1]); },
                        std::chrono::seconds(15)));
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
    Endings events;
};

TEST_F(SdlDiskTest, OneCardPlaysTheDecodedSamplesAndResamplesThemToThePitch) {
    const std::string track = dir.write("tone.mp3", encodeMp3(tone(440, 2.0)));
    std::vector<int16_t> decoded = decodeAll(track);
    decoded.resize(2 * 88200);  // without the silence that pads the last frame
    const std::vector<int16_t> played = play({}, {track});
    const long at = find(played, decoded);
    EXPECT_GE(at, 0) << "the decoded track is not in what the card played";

    events.ended[0] = false;
    const std::vector<int16_t> faster = play({}, {track}, 4506);
    const auto loud = [](int16_t s) { return std::abs(s) > 200; };
    const long first = std::find_if(faster.begin(), faster.end(), loud) - faster.begin();
    const long last = faster.rend() - std::find_if(faster.rbegin(), faster.rend(), loud);
    EXPECT_NEAR((last - first) / 2, 2.0 * 44100 * 4096 / 4506, 300);
}

TEST_F(SdlDiskTest, OneCardWithoutDirectSoundAveragesTheDecks) {
    const std::string low = dir.write("low.mp3", encodeMp3(tone(300, 2.0)));
    const std::string high = dir.write("high.mp3", encodeMp3(tone(2000, 2.0)));
    SoundConfig settings;
    settings.useDirectSound = false;
    const std::vector<int16_t> played = play(settings, {low, high});
    const auto loud = [](int16_t s) { return std::abs(s) > 200; };
    const long first = (std::find_if(played.begin(), played.end(), loud) - played.begin()) / 2;
    const long middle = first + 30000;
    ASSERT_LT(2 * (middle + 22050), static_cast<long>(played.size()));
    // Each tone (amplitude 12000) at half its level.
    EXPECT_NEAR(amplitude(played, 300, middle, 22050), 6000, 400);
    EXPECT_NEAR(amplitude(played, 2000, middle, 22050), 6000, 400);
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
