// Files open on loader threads: a file that is slow to open never holds up the audio thread or the
// other deck.
#include <gtest/gtest.h>

#include "DeckLoading.h"
#include "FakeDecoder.h"
#include "TestPlayback.h"
#include "Waiting.h"
#include "engine/deck/SoundSystem.h"
#include "engine/deck/TrackInfoStore.h"

namespace {

const FakeTrack kTrack{.frames = 1225, .lengthSeconds = 32};

// Both decks on a card of their own (a mixing table), served by the test as the audio thread
// would; files whose name starts with "slow" block their open on the gate.
class SlowOpenTest : public ::testing::Test {
  protected:
    SlowOpenTest() {
        engine.store = &store;
        settings.useTwoCards = true;
        settings.useMixTable = true;
    }

    SoundSystem::DecoderFactory decoders() {
        return [this] {
            FakeTrack track = kTrack;
            track.onOpen = [this] {
                if (slowOpens) {
                    gate.wait();
                }
            };
            return std::make_unique<FakeDecoder>(track);
        };
    }

    // Deck 0 plays while deck 1 is asked to load; returns what card 0 played.
    std::vector<int16_t> playDeck0WhileDeck1Loads(int blocks) {
        SoundSystem sound(backend, engine, decoders());
        EXPECT_EQ(sound.openSound(settings), nullptr);
        sound.audioThread()->stop();
        Deck& deck0 = *sound.deck(0);
        Deck& deck1 = *sound.deck(1);
        const bool slow = slowOpens;
        slowOpens = false;
        deck0.requestLoad("/music/A.mp3");
        awaitOpened(deck0);
        serve(deck0, deck1, 1);
        deck0.requestPlay();
        slowOpens = slow;
        deck1.requestLoad("/music/B.mp3");
        if (slow) {
            gate.awaitEntered();
        } else {
            awaitOpened(deck1);
        }
        serve(deck0, deck1, blocks);
        if (slow) {
            openStillBlockedAfterPlaying = !gate.left();
            gate.release();
        }
        awaitOpened(deck1);
        serve(deck0, deck1, 1);
        EXPECT_TRUE(deck1.isLoaded());
        std::vector<int16_t> played = backend.streams[0]->played;
        sound.closeSound();
        backend.streams.clear();
        return played;
    }

    void serve(Deck& deck0, Deck& deck1, int blocks) { playBlocks(backend, deck0, deck1, blocks); }

    TrackInfoStore store{{}, 1, 0};
    EngineState engine;
    SoundConfig settings;
    TestBackend backend;
    Gate gate;
    std::atomic<bool> slowOpens{false};
    bool openStillBlockedAfterPlaying = false;
};

TEST_F(SlowOpenTest, TheOtherDeckPlaysOnUntouchedWhileAFileOpens) {
    const std::vector<int16_t> quick = playDeck0WhileDeck1Loads(400);
    slowOpens = true;
    const std::vector<int16_t> slow = playDeck0WhileDeck1Loads(400);
    EXPECT_TRUE(openStillBlockedAfterPlaying);  // the audio path never waited for it
    ASSERT_EQ(quick.size(), slow.size());
    EXPECT_TRUE(quick == slow);
    EXPECT_NE(std::count(quick.begin(), quick.end(), 0), static_cast<long>(quick.size()));
}

TEST_F(SlowOpenTest, AnOpenThatTakesTooLongFailsAndTheDeckTakesTheNextFile) {
    engine.loadTimeout = std::chrono::milliseconds(20);
    SoundSystem sound(backend, engine, decoders());
    ASSERT_EQ(sound.openSound(settings), nullptr);
    sound.audioThread()->stop();
    Deck& deck = *sound.deck(1);
    slowOpens = true;
    deck.requestLoad("/music/Stuck.mp3");
    gate.awaitEntered();
    EXPECT_TRUE(waitFor([&] {
        deck.serviceStep();
        return engine.deckStatus[1] == kDeckCannotOpen;
    }));
    EXPECT_TRUE(deck.isFree());

    slowOpens = false;  // the stuck open goes on; another loader takes the next file
    deck.requestLoad("/music/Good.mp3");
    ASSERT_TRUE(finishLoad(deck));
    EXPECT_EQ(engine.deckStatus[1], kDeckNormal);
    EXPECT_EQ(deck.record().nameHash, nameHash("Good.mp3"));
    gate.release();
    while (!gate.left()) {
        std::this_thread::yield();
    }
    for (int i = 0; i < 100; ++i) {
        deck.serviceStep();  // the stale open is never taken in
    }
    EXPECT_EQ(deck.record().nameHash, nameHash("Good.mp3"));
    sound.closeSound();
}

}  // namespace
