#include "engine/beat/TempoEstimate.h"

#include <gtest/gtest.h>

namespace {

int indexOfLag(int lag) {
    return kLongestLag - lag;
}

LagSums sumsWithPeak(int lag, int32_t value) {
    LagSums sums{};
    sums[indexOfLag(lag)] = value;
    return sums;
}

float bpmOf(const LagSums& sums) {
    return octaveCorrectedBpm(sums, findLagPeak(sums));
}

TEST(TempoEstimateTest, SingleAndDoubleBeatLagsAndThoseOutsideTheUsableRange) {
    EXPECT_FLOAT_EQ(bpmOf(LagSums{}), 999.9f);  // silence: lag 1800
    EXPECT_FLOAT_EQ(bpmOf(sumsWithPeak(456, 9)), 0.0f);
    EXPECT_FLOAT_EQ(bpmOf(sumsWithPeak(612, 100)), static_cast<float>(73500.0 / 612));
    EXPECT_FLOAT_EQ(bpmOf(sumsWithPeak(1225, 100)), 120.0f);  // two beats of 120 BPM
}

TEST(TempoEstimateTest, AmbiguousLagAroundOneThousandIsDecidedByItsHalfAndOneAndAHalf) {
    LagSums sums = sumsWithPeak(1000, 1000);
    sums[indexOfLag(502)] = 300;   // within two lags of 500
    sums[indexOfLag(1499)] = 400;  // within two lags of 1500
    EXPECT_FLOAT_EQ(bpmOf(sums), 73.5f);
    sums[indexOfLag(1499)] = -701;  // absolute values count; together above the peak
    EXPECT_FLOAT_EQ(bpmOf(sums), 147.0f);
}

TEST(TempoEstimateTest, LongLagIsTwoOrThreeBeats) {
    LagSums sums = sumsWithPeak(1500, 1000);
    sums[indexOfLag(750)] = 200;
    sums[indexOfLag(500)] = 100;
    EXPECT_FLOAT_EQ(bpmOf(sums), 98.0f);
    sums[indexOfLag(501)] = 300;  // the third of the lag beats its half
    EXPECT_FLOAT_EQ(bpmOf(sums), 147.0f);
}

TEST(TempoEstimateTest, VoteCountsOnlyLaterEntriesAndTheLaterWinsATie) {
    TempoHistory history{};
    history[10] = {999.9f, 1};  // the first estimate after a track change
    EXPECT_FLOAT_EQ(voteWinner(history), 999.9f);

    history[11] = {120.0f, 1};
    EXPECT_FLOAT_EQ(voteWinner(history), 120.0f);  // equal counts: the later entry

    history[12] = {121.5f, 1};
    history[13] = {119.0f, 1};
    // 120.0 counts itself, 121.5 and 119.0; 121.5 does not count 119.0, 2.5 BPM away.
    EXPECT_FLOAT_EQ(voteWinner(history), 120.0f);
}

}  // namespace
