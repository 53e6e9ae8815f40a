#include "engine/beat/TempoFix.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "DetectorRig.h"

namespace {

TEST(TempoFixTest, FixLocksTheGlobalTempoAndStaysInForceForTheLocalOne) {
    DetectorRig fixed;
    DetectorRig plain;  // the same track without the fix
    const Pcm beat = drums(120, 12.0);
    fixed.play(beat);
    plain.play(beat);
    const float global = fixed.detector.record().bpm;
    ASSERT_NEAR(global, 120.0f, 0.3f);
    ASSERT_NEAR(fixed.detector.localBpm(), 120.0f, 0.5f);

    ASSERT_TRUE(fixTempo(fixed.detector, TempoFix::kHalve));
    EXPECT_EQ(fixed.detector.record().bpm, global / 2);
    EXPECT_EQ(fixed.detector.record().bpmVotes, kLockedBpmVotes);
    EXPECT_NEAR(fixed.detector.localBpm(), 60.0f, 0.3f);

    // Playing on, the detector measures 120 again: the local estimate stays halved and the
    // global one locked, while the onsets the beat alignment reads are untouched.
    fixed.play(beat);
    plain.play(beat);
    EXPECT_EQ(fixed.detector.record().bpm, global / 2);
    EXPECT_NEAR(fixed.detector.localBpm(), 60.0f, 0.3f);
    EXPECT_TRUE(std::equal(fixed.detector.onsetHistory(),
                           fixed.detector.onsetHistory() + BeatDetector::kHistorySize,
                           plain.detector.onsetHistory()));

    // A lock keeps the corrected tempo; the next track starts without the correction.
    ASSERT_TRUE(fixTempo(fixed.detector, TempoFix::kLock));
    EXPECT_EQ(fixed.detector.record().bpm, global / 2);
    fixed.detector.resetForTrack();
    fixed.detector.record().bpm = 0.0f;
    fixed.detector.record().bpmVotes = 0;
    fixed.play(beat);
    EXPECT_NEAR(fixed.detector.localBpm(), 120.0f, 0.5f);
}

}  // namespace
