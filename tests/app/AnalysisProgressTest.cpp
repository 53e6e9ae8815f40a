#include "app/AnalysisProgress.h"

#include <gtest/gtest.h>

namespace {

TEST(AnalysisProgressTest, SpeedAndTimeLeftFollowWhatIsDone) {
    AnalysisProgress progress(4, 400);
    EXPECT_EQ(progress.line(0.0), "0/4 tracks, 0.00 h of audio");
    EXPECT_EQ(progress.line(3.0), "0/4 tracks, 0.00 h of audio");  // nothing to judge by yet

    progress.trackDone(100, 1800.0);
    EXPECT_EQ(progress.line(2.0), "1/4 tracks, 0.50 h of audio, 900x real time, 0:06 left");
    progress.trackDone(200, 5400.0);
    EXPECT_EQ(progress.line(30.0), "2/4 tracks, 2.00 h of audio, 240x real time, 0:10 left");
    progress.trackDone(100, 0.0);
    EXPECT_EQ(progress.line(40.0), "3/4 tracks, 2.00 h of audio, 180x real time, 0:00 left");
    progress.trackDone(0, 0.0);
    EXPECT_EQ(progress.line(40.0), "4/4 tracks, 2.00 h of audio, 180x real time");
}

// A missing file has no bytes and no audio: it can say nothing of the speed or the time left.
TEST(AnalysisProgressTest, TracksThatCouldNotBeAnalysedOnlyCount) {
    AnalysisProgress progress(3, 1000);
    progress.trackDone(0, 0.0);
    EXPECT_EQ(progress.line(1.0), "1/3 tracks, 0.00 h of audio");
}

}  // namespace
