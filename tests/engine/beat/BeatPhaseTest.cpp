#include "engine/beat/BeatPhase.h"

#include <gtest/gtest.h>

#include <array>

#include "engine/beat/BeatDetector.h"

namespace {

// Onsets of a loud track, peaking near the top of their range, must not overflow a sum.
TEST(BeatPhaseTest, HugeOnsetsDoNotWrap) {
    std::array<int32_t, 4096> onsets{};
    onsets[1000 + 3] = 40'000'000;
    onsets[1000 + 1] = 39'000'000;
    // Paused at slot 1000 with 40 000 frames decoded ahead.
    const BeatView view{36 * 1000,     40000,        0, 4096, 120.0f, 40'000'000,
                        onsets.data(), onsets.data()};
    EXPECT_EQ(findBeatNear(view, 0), 3);
    std::array<int16_t, kOnsetStripColumns> strip{};
    onsetStrip(view, strip.data());
    EXPECT_EQ(strip[0], 242);  // slots 0..3 in the first column at normal speed
}

// Two decks' beats, each a rough attack of a few uneven slots on a floor of hum, 612 slots apart
// at 120 BPM (the lead's speed); the follower plays at `followerPitch` with its beats `late` slots
// after the lead's.
struct TwoDecks {
    std::array<int32_t, 4096> lead{}, follower{};
    BeatView leadView() const {
        return {36 * 100, 36 * 3500, 0, 4096, 120.0f, 1000, lead.data(), lead.data()};
    }
    BeatView followerView(int pitch) const {
        return {36 * 2000, 36 * 3500, 0, pitch, 120.0f, 1000, follower.data(), follower.data()};
    }
    static void beat(std::array<int32_t, 4096>& onsets, int at) {
        // Its strongest slot late in the attack, as a snare's noise often puts it.
        const int32_t attack[] = {300, 900, 200, 700, 1000, 100, 400};
        for (int i = 0; i < 7; ++i) {
            onsets[(at + i) % 4096] += attack[i];
        }
    }
    TwoDecks(int followerPitch, int late) {
        lead.fill(20);
        follower.fill(20);
        for (int b = 0; b < 6; ++b) {
            beat(lead, 100 + 40 + b * 612);
            beat(follower, 2000 + late + (40 + b * 612) * followerPitch / 4096);
        }
    }
};

TEST(BeatLagTest, TheFollowersBeatsBehindOrAheadGiveItsLag) {
    for (int late : {0, 7, -5, 60}) {
        const TwoDecks d(4096, late);
        EXPECT_EQ(beatLag(d.leadView(), d.followerView(4096), 0, 4096, 4096), late) << late;
    }
    // A shift already decided counts: the follower moved by 7 is on the beat.
    const TwoDecks d(4096, 7);
    EXPECT_EQ(beatLag(d.leadView(), d.followerView(4096), 7, 4096, 4096), 0);
    BeatView undecoded = d.followerView(4096);
    undecoded.aheadCount = 36 * 50;  // nothing decoded ahead: no lag
    EXPECT_EQ(beatLag(d.leadView(), undecoded, 0, 4096, 4096), 0);

    // The follower's track is faster and slowed down: its beats are fewer slots apart, each placed
    // to the whole slot.
    const TwoDecks slowed(3800, 4);
    EXPECT_NEAR(beatLag(slowed.leadView(), slowed.followerView(3800), 0, 4096, 3800), 4, 1);
}

TEST(BeatLagTest, OneBeatDrownedByAFillDoesNotMoveTheLag) {
    TwoDecks d(4096, 3);
    for (int i = 0; i < 40; ++i) {
        d.follower[2000 + 3 + 40 + 2 * 612 + 60 + i] += 2000;  // a roll after the third beat
    }
    EXPECT_EQ(beatLag(d.leadView(), d.followerView(4096), 0, 4096, 4096), 3);
}

}  // namespace
