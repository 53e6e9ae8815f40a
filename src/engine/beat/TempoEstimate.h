#pragma once

#include <array>
#include <cstdint>

// The steps from the lag sums of the envelope's autocorrelation to a tempo: the strongest lag,
// its octave correction, and the vote over the latest estimates. Lags are in beat slots; every
// function is pure (any thread).

struct TempoEstimate {
    float bpm;
    int32_t weight;
};

inline constexpr int kLagCount = 1350;
inline constexpr int kLongestLag = 1800;  // lag of lagSums[0]; lagSums[j] is lag 1800 - j
inline constexpr int kShortestLag = kLongestLag - kLagCount + 1;
inline constexpr int kTempoHistoryLength = 64;
inline constexpr float kNoTempo = 999.9f;

using LagSums = std::array<int32_t, kLagCount>;
using TempoHistory = std::array<TempoEstimate, kTempoHistoryLength>;

struct LagPeak {
    int32_t value;  // 0 when no sum is positive
    int lag;
};

// The largest sum; the longest lag wins a tie.
LagPeak findLagPeak(const LagSums& lagSums);

// BPM of the peak with octave correction: 999.9 when there is no usable peak, 0.0 when it is too
// fast, otherwise between 67.49 and 163.33.
float octaveCorrectedBpm(const LagSums& lagSums, LagPeak peak);

// The bpm of the estimate whose weight plus the weights of the later estimates within 2 BPM of it
// is largest; the later estimate wins a tie.
float voteWinner(const TempoHistory& history);

// Weighted mean of the estimates within 2 BPM of the winner.
double weightedMeanNear(const TempoHistory& history, float winner);
