#include "engine/beat/BeatPhase.h"

#include <gtest/gtest.h>

#include <array>

#include "engine/beat/BeatDetector.h"

namespace {

constexpr int kRing = 147456;

// A deck paused in the middle of a track: the play position at slot 1000, 40 000 frames decoded
// ahead and the rest of the ring history.
class BeatPhaseTest : public ::testing::Test {
  protected:
    BeatView view() const {
        return BeatView{36 * 1000, 40000, 0, 4096, 120.0f, peak, onsets.data(), onsets.data()};
    }
    std::array<int32_t, 4096> onsets{};
    int32_t peak = 1000;
};

TEST_F(BeatPhaseTest, NextBeatIsTheFirstStrongestOnsetOfTheComingBeatAcrossTheWrap) {
    EXPECT_EQ(nextBeatOffset(view()), 0);
    onsets[1000 + 200] = 50;
    onsets[1000 + 300] = 80;
    onsets[1000 + 400] = 80;
    onsets[1000 + 612] = 500;  // one beat on: outside
    EXPECT_EQ(nextBeatOffset(view()), 300);

    BeatView v = view();
    v.readIndex = 36 * 4000;
    onsets[(4000 + 200) % 4096] = 9;
    EXPECT_EQ(nextBeatOffset(v), 200);
}

// Half a beat around the target, far onsets counting less.
TEST_F(BeatPhaseTest, BeatNearATargetWeighsDistance) {
    onsets[1000] = 1000;
    onsets[1000 + 61] = 1100;  // 1100 x 600 / 661 = 998
    EXPECT_EQ(findBeatNear(view(), 0), 0);
    onsets[1000 + 61] = 1200;  // 1089
    EXPECT_EQ(findBeatNear(view(), 0), 61);

    onsets.fill(0);
    onsets[1000 + 50 + 305] = 10;
    EXPECT_EQ(findBeatNear(view(), 50), 305);
    onsets[1000 + 50 + 305] = 0;
    onsets[1000 + 50 + 306] = 10;  // half a beat of 120 BPM is 306 slots
    EXPECT_EQ(findBeatNear(view(), 50), 0);
}

TEST_F(BeatPhaseTest, JustAfterALoadOnlyDecodedAudioAheadCounts) {
    BeatView v = view();
    v.unfilledCount = kRing - 1152 * 10;
    v.aheadCount = 1152 * 10;  // 320 slots decoded, nothing behind
    onsets[1000 - 5] = 900;
    onsets[1000 + 20] = 100;
    EXPECT_EQ(findBeatNear(v, 0), 20);
    // At the end of what is decoded only the past counts (the 900 lies beyond half a beat).
    v.unfilledCount = 0;
    EXPECT_EQ(findBeatNear(v, 320), -300);
}

TEST_F(BeatPhaseTest, HugeOnsetsDoNotWrap) {
    onsets[1000 + 3] = 40'000'000;
    onsets[1000 + 1] = 39'000'000;
    EXPECT_EQ(findBeatNear(view(), 0), 3);
    peak = 40'000'000;
    std::array<int16_t, kOnsetStripColumns> strip{};
    onsetStrip(view(), strip.data());
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
