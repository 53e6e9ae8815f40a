// The audio path never allocates, frees, locks or waits. The test marks itself real-time where it
// acts as the audio thread or a card's callback; the allocation hook and the store's lock count
// every slip.
#include <gtest/gtest.h>

#include "DeckLoading.h"
#include "Mp3Fixtures.h"
#include "TestSoundSystem.h"
#include "core/RealTimeGuard.h"
#include "engine/deck/TrackInfoStore.h"
#include "platform/Mpg123Decoder.h"

namespace {

void* volatile sink;

TEST(RealTimeGuardTest, CountsAllocationsFreesAndTheStoreLockOnlyOnRealTimeThreads) {
    TrackInfoStore store({}, 1, 0);
    TrackInfoRecord record;
    realtime::resetViolations();
    sink = new char[64];
    delete[] static_cast<char*>(sink);
    store.lookup("/m/a.mp3", 1, record);
    EXPECT_EQ(realtime::violations(), 0);
    {
        const realtime::Scope audio;
        sink = new char[64];
        delete[] static_cast<char*>(sink);
        store.lookup("/m/a.mp3", 1, record);
        EXPECT_EQ(realtime::violations(), 3);
        EXPECT_STREQ(realtime::lastViolation(), "track store lock");
    }
    EXPECT_FALSE(realtime::onRealTimeThread());
}

// Both decks load, play through every transport move to the end, and load again, while their
// cards play: the service steps, the taking in of a load and the cards' mixing stay clean.
TEST(NoAllocationTest, ServiceStepsLoadsAndEveryOutputKindAllocateNothing) {
    TempDir dir;
    const std::string first = dir.write("a.mp3", encodeMp3(drums(120, 3.0), {.vbr = true}));
    const std::string second = dir.write("b.mp3", encodeMp3(drums(128, 2.5)));
    for (const OutputConfiguration& c : kOutputConfigurations) {
        SCOPED_TRACE(c.name);
        TestSoundSystem t(c.settings(), makeMpg123Decoder);
        ASSERT_EQ(t.openError, nullptr);
        for (TestPlayback* clock : t.backend.streams) {
            clock->keepPlayed = false;
        }
        Deck& deck0 = t.deck(0);
        Deck& deck1 = t.deck(1);

        long violations = 0;
        // Blocks of the cards, with the decks served between them as the audio thread would.
        const auto audio = [&](int blocks) {
            realtime::resetViolations();
            {
                const realtime::Scope audioThread;
                t.play(blocks);
            }
            violations += realtime::violations();
            if (realtime::violations() != 0) {
                ADD_FAILURE() << "the audio path did: " << realtime::lastViolation();
            }
        };
        const auto load = [&](const std::string& a, const std::string& b) {
            deck0.requestLoad(a);
            deck1.requestLoad(b);
            awaitOpened(deck0);
            awaitOpened(deck1);
            audio(1);
            ASSERT_TRUE(deck0.isLoaded() && deck1.isLoaded());
        };

        load(first, second);
        deck0.requestPlay();
        deck1.requestPlay();
        audio(100);
        deck0.requestSeek(0.5f);
        deck1.requestPitch(4300);
        audio(20);
        deck0.requestMove(-3000);
        deck0.setVolume(100);
        deck1.setCueVolume(30);
        audio(20);
        deck0.requestPause();
        audio(5);
        deck0.requestMove(-200000);  // beyond the history: the decoder seeks
        audio(5);
        deck0.requestPlay();
        audio(700);  // to the end of both tracks and beyond
        EXPECT_EQ(deck0.position(), -1.0f);
        load(second, first);
        deck1.requestPlay();
        audio(50);
        EXPECT_EQ(violations, 0);
        t.sound.closeSound();
    }
}

}  // namespace
