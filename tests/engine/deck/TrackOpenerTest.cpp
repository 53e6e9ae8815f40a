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
constexpr int kFrame = Deck::kFrameSize;

// Both decks on a card of their own (a mixing table), served by the test as the audio thread
// would; while slowOpens is set, opens block on the gate.
class SlowOpenTest : public ::testing::Test {
  protected:
    SlowOpenTest() {
        engine.store = &store;
        EXPECT_EQ(sound.openSound({true, false, true, true, false, "", "", ""}), nullptr);
        sound.audioThread()->stop();
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

    TrackInfoStore store{{}, 1, 0};
    EngineState engine;
    TestBackend backend;
    Gate gate;
    std::atomic<bool> slowOpens{false};
    SoundSystem sound{backend, engine, decoders()};
};

TEST_F(SlowOpenTest, TheOtherDeckPlaysOnUntouchedWhileAFileOpens) {
    Deck& deck0 = *sound.deck(0);
    Deck& deck1 = *sound.deck(1);
    deck0.requestLoad("/music/A.mp3");
    awaitOpened(deck0);
    playBlocks(backend, deck0, deck1, 1);
    deck0.requestPlay();
    slowOpens = true;
    deck1.requestLoad("/music/B.mp3");
    ASSERT_TRUE(gate.awaitEntered());
    playBlocks(backend, deck0, deck1, 400);
    EXPECT_FALSE(gate.left()) << "the audio path waited for the open";
    gate.release();

    // Card 0 played deck 0's track sample after sample: each card frame holds the next sample as
    // (frame number, index within the frame).
    const std::vector<int16_t>& played = backend.streams[0]->played;
    const std::size_t frames = played.size() / 2;
    std::size_t f = 0;
    while (f < frames && played[2 * f + 1] == 0) {
        ++f;
    }
    ASSERT_LT(f, frames / 2);
    const long offset = played[2 * f] * long{kFrame} + played[2 * f + 1] - static_cast<long>(f);
    for (; f < frames; ++f) {
        ASSERT_EQ(played[2 * f] * long{kFrame} + played[2 * f + 1] - static_cast<long>(f), offset)
            << f;
    }
    sound.closeSound();
}

TEST_F(SlowOpenTest, AnOpenThatTakesTooLongFailsAndTheDeckTakesTheNextFile) {
    engine.loadTimeout = std::chrono::milliseconds(20);
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
