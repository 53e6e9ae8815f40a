#include "engine/deck/SoundSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include <typeinfo>

#include "DeckLoading.h"
#include "FakeDecoder.h"
#include "TestPlayback.h"
#include "engine/deck/TrackInfoStore.h"
#include "engine/sound/BufferOutput.h"
#include "engine/sound/WaveOutputs.h"

namespace {

class SoundSystemTest : public ::testing::Test {
  protected:
    SoundSystemTest() { engine.store = &store; }

    const char* open(SoundConfig settings) {
        settings.splitCueOutput =
            !settings.useMixTable && (settings.use3dCard || settings.useTwoCards);
        return sound.openSound(settings);
    }

    TrackInfoStore store{{}, 1, 0};
    EngineState engine;
    TestBackend backend;
    SoundSystem sound{backend, engine, [] { return std::make_unique<FakeDecoder>(); }};
};

TEST_F(SoundSystemTest, EachConfigurationOpensItsDevicesAndOutputsAndRestsItsCards) {
    struct Case {
        bool direct, quad, two, table;
        const char *card, *card1, *card2;
        std::vector<std::string> opened;
        const std::type_info& output;
    };
    const Case cases[] = {
        {true, false, false, false, "", "", "", {"/2"}, typeid(DirectSoundOutput)},
        {true, true, false, false, "quad", "", "", {"quad/4"}, typeid(QuadCueOutput)},
        {true, true, false, true, "", "", "", {"/4"}, typeid(QuadPairOutput)},
        {true, false, true, false, "", "1st", "2nd", {"1st/2", "2nd/2"}, typeid(TwoCardOutput)},
        {true, false, true, true, "", "1st", "2nd", {"1st/2", "2nd/2"}, typeid(DirectSoundOutput)},
        {false, false, true, false, "", "x", "", {"card 0/2", "card 1/2"}, typeid(WaveOutOutput)},
        {false, false, false, false, "", "", "", {"/2"}, typeid(MixedWaveOutput)},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        backend.opened.clear();
        backend.streams.clear();
        const Case& c = cases[i];
        ASSERT_EQ(open({c.direct, c.quad, c.two, c.table, false, c.card, c.card1, c.card2}),
                  nullptr);
        EXPECT_EQ(backend.opened, c.opened);
        EXPECT_EQ(typeid(sound.deck(0)->output()), c.output);
        EXPECT_EQ(typeid(sound.deck(1)->output()), c.output);
        EXPECT_EQ(engine.decks[1], sound.deck(1));
        // Every card rests while both decks stand paused, and plays again on a request.
        sound.restDevices(std::chrono::steady_clock::now() + 2 * SoundSystem::kRestDelay);
        for (const TestPlayback* card : backend.streams) {
            EXPECT_TRUE(card->paused);
        }
        sound.wakeDevices();
        for (const TestPlayback* card : backend.streams) {
            EXPECT_FALSE(card->paused);
        }
        sound.closeSound();
        EXPECT_EQ(engine.decks[0], nullptr);
    }
}

// With nothing to do the service thread waits for a request alone, and the request wakes it: a
// play left on a resting thread is taken up, and the thread rests again once paused.
TEST_F(SoundSystemTest, ServiceThreadRestsUntilARequestWakesIt) {
    ASSERT_EQ(open({}), nullptr);  // the card's clock never moves: nothing is ever played out
    Deck& deck0 = *sound.deck(0);
    ASSERT_TRUE(waitFor([&] { return sound.audioThread()->resting(); }));
    deck0.requestLoad("/music/A.mp3");
    ASSERT_TRUE(waitFor([&] { return deck0.isPlayable(); }));
    ASSERT_TRUE(waitFor([&] { return sound.audioThread()->resting(); }));  // the ring is full

    deck0.requestPlay();
    ASSERT_TRUE(waitFor([&] { return deck0.playing(); }));
    EXPECT_FALSE(sound.audioThread()->resting());  // a playing deck is served all along
    deck0.requestPause();
    EXPECT_TRUE(waitFor([&] { return sound.audioThread()->resting(); }));
    sound.closeSound();  // stops a resting thread
}

// Index of the first sample that is not silent, or -1.
long firstSound(const std::vector<int16_t>& played) {
    const auto at = std::find_if(played.begin(), played.end(), [](int16_t s) { return s != 0; });
    return at == played.end() ? -1 : at - played.begin();
}

// Once both decks have stood paused for a while the card rests, its clock still; the next request
// wakes it, and play is heard as soon after it as after a pause of a moment.
TEST_F(SoundSystemTest, CardRestsWhileBothDecksStandPausedAndPlaysAtOnceAfter) {
    ASSERT_EQ(open({}), nullptr);
    sound.audioThread()->stop();  // the test serves the decks itself
    Deck& deck0 = *sound.deck(0);
    Deck& deck1 = *sound.deck(1);
    TestPlayback& card = *backend.streams[0];
    deck0.requestLoad("/music/A.mp3");
    ASSERT_TRUE(finishLoad(deck0));
    const auto later = [] { return std::chrono::steady_clock::now() + SoundSystem::kRestDelay; };

    deck0.requestPlay();
    playBlocks(backend, deck0, deck1, 50);
    const auto playingAt = later();
    sound.restDevices(playingAt);
    EXPECT_FALSE(sound.devicesResting()) << "a deck plays";
    deck0.requestPause();
    playBlocks(backend, deck0, deck1, 50);
    sound.restDevices(std::chrono::steady_clock::now());
    EXPECT_FALSE(sound.devicesResting()) << "just paused";
    sound.restDevices(playingAt + SoundSystem::kRestDelay);
    ASSERT_TRUE(sound.devicesResting());
    EXPECT_TRUE(card.paused);
    card.played.clear();
    playBlocks(backend, deck0, deck1, 1000);
    EXPECT_TRUE(card.played.empty());

    // Wakes the card, and is heard in the first block it plays after the deck took the request.
    deck0.requestPlay();
    EXPECT_FALSE(card.paused);
    playBlocks(backend, deck0, deck1, 4);
    const long heard = firstSound(card.played);
    ASSERT_GE(heard, 0);
    EXPECT_LE(heard, TestPlayback::kBlock * 2);
    sound.closeSound();
}

// The audio thread serves both decks while a device thread plays and the main thread keeps
// asking for things: run under ThreadSanitizer, it shows the threads share nothing unguarded.
TEST_F(SoundSystemTest, ThreadsMeetOnlyThroughRequestsAndCursors) {
    ASSERT_EQ(open({true, false, true, false, false, "", "a", "b"}), nullptr);
    std::atomic<bool> running{true};
    std::thread device([&] {  // at the pace of a sound card: a block every 5.8 ms
        while (running) {
            for (TestPlayback* clock : backend.streams) {
                clock->advance(256);
                clock->played.clear();
            }
            std::this_thread::sleep_for(std::chrono::microseconds(5800));
        }
    });
    Deck& deck0 = *sound.deck(0);
    Deck& deck1 = *sound.deck(1);
    deck0.requestLoad("/music/A.mp3");
    deck1.requestLoad("/music/B.mp3");
    const std::function<void(int)> requests[] = {
        [&](int) { deck0.requestPlay(); },
        [&](int) { deck1.requestSeek(0.3f); },
        [&](int i) { deck0.requestPitch(3900 + i); },
        [&](int) { deck1.requestMove(-2000); },
        [&](int i) {
            deck0.setVolume(i % 256);
            deck1.setCueVolume(100);
        },
        [&](int) { deck0.pressCue(); },
        [&](int) { deck1.matchTempo(deck0.effectiveBpm()); },
        [&](int) { deck0.requestLoad("/music/C.mp3"); },
    };
    for (int i = 0; i < 200; ++i) {
        requests[i % 8](i);
        (void)deck0.position();
        (void)deck1.beatView();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    running = false;
    device.join();
    sound.closeSound();
    TrackInfoRecord record;
    EXPECT_TRUE(store.lookup("/music/B.mp3", 123456, record));  // stored as the decks went
    EXPECT_TRUE(store.lookup("/music/C.mp3", 123456, record));
}

}  // namespace
