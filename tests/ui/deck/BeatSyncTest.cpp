// Sync on decoded tracks: the tempo match and the beat alignment of one press, measured in the
// onsets the decks' beat detectors found.
#include <gtest/gtest.h>

#include <cmath>

#include "AppHarness.h"
#include "core/SharedValue.h"
#include "engine/beat/BeatPhase.h"
#include "platform/Mpg123Decoder.h"

namespace {

constexpr double kSlotMs = 36.0 * 1000.0 / 44100.0;

// Milliseconds from the play position to the deck's next kick, as heard at its pitch.
double msToNextBeat(const Deck& deck) {
    return nextBeatOffset(deck.beatView()) * kSlotMs * Deck::kUnityPitch / deck.pitch();
}

void setTempo(Deck& deck, float bpm) {
    storeShared(deck.record().bpm, bpm);
    storeShared(deck.record().bpmVotes, kLockedBpmVotes);
}

TEST(BeatSyncTest, OneSyncAfterATempoChangePutsTheBeatsTogether) {
    // Deck 0's next kick is this far away; deck 1 plays faster and must slow down to 120 BPM.
    for (double lead : {0.33, 0.45}) {
        SCOPED_TRACE(lead);
        AppHarness h([](TempDir&) {}, makeMpg123Decoder);
        ASSERT_TRUE(h.started);
        h.deck(0).requestLoad(
            h.dir.write("steady.mp3", encodeMp3(concat({silence(lead), drums(120, 8.0)}))));
        h.deck(1).requestLoad(h.dir.write("faster.mp3", encodeMp3(drums(126, 8.0))));
        h.serve(120);  // both rings decoded well ahead of the play position
        setTempo(h.deck(0), 120.0f);
        setTempo(h.deck(1), 126.0f);
        h.app->controls().selectDeck(1);

        ASSERT_TRUE(h.app->input().onKeyDown(vk::kReturn));
        h.serve(2);  // the pitch, then the move

        ASSERT_EQ(h.deck(1).pitch(), 3900);
        const double ahead = msToNextBeat(h.deck(0));
        EXPECT_NEAR(ahead, lead * 1000.0, 30.0);  // the kick, a little early
        const double period = 500.0;
        EXPECT_LT(std::abs(std::remainder(msToNextBeat(h.deck(1)) - ahead, period)), 2.0);
    }
}

}  // namespace
