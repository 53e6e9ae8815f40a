#include "engine/beat/TempoEstimate.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kNoPeakLag = 1795;
constexpr int kTooFastLag = 456;
constexpr double kSlotsPerMinute = 73500.0;  // beat slots of 36 frames in a minute at 44100 Hz
constexpr float kVoteSpread = 2.0f;

// Largest absolute sum over the five lags around lag, those outside the table left out.
int64_t windowMax(const LagSums& lagSums, int lag) {
    int64_t best = 0;
    for (int l = std::max(lag - 2, kShortestLag); l <= std::min(lag + 2, kLongestLag); ++l) {
        best = std::max(best, std::abs(static_cast<int64_t>(lagSums[kLongestLag - l])));
    }
    return best;
}

float beatsPerMinute(double beatsInLag, int lag) {
    return static_cast<float>(beatsInLag * kSlotsPerMinute / lag);
}

}  // namespace

LagPeak findLagPeak(const LagSums& lagSums) {
    LagPeak peak{0, kLongestLag};
    for (int j = 0; j < kLagCount; ++j) {
        if (lagSums[j] > peak.value) {
            peak = {lagSums[j], kLongestLag - j};
        }
    }
    return peak;
}

float octaveCorrectedBpm(const LagSums& lagSums, LagPeak peak) {
    const int lag = peak.lag;
    if (lag >= kNoPeakLag) {
        return kNoTempo;
    }
    if (lag <= kTooFastLag) {
        return 0.0f;
    }
    if (lag <= 899) {
        return beatsPerMinute(1, lag);
    }
    if (lag <= 1089) {
        // A lag of one slow beat or two fast ones: the half and one-and-a-half lags decide.
        const bool twoBeats = windowMax(lagSums, lag / 2) + windowMax(lagSums, 3 * lag / 2) >
                              static_cast<int64_t>(peak.value);
        return beatsPerMinute(twoBeats ? 2 : 1, lag);
    }
    if (lag <= 1349) {
        return beatsPerMinute(2, lag);
    }
    const bool threeBeats = windowMax(lagSums, lag / 2) < windowMax(lagSums, lag / 3);
    return beatsPerMinute(threeBeats ? 3 : 2, lag);
}

float voteWinner(const TempoHistory& history) {
    int64_t bestCount = -1;
    float winner = 0.0f;
    for (int i = 0; i < kTempoHistoryLength; ++i) {
        int64_t count = history[i].weight;
        for (int j = i + 1; j < kTempoHistoryLength; ++j) {
            if (std::fabs(history[i].bpm - history[j].bpm) < kVoteSpread) {
                count += history[j].weight;
            }
        }
        if (count >= bestCount) {
            bestCount = count;
            winner = history[i].bpm;
        }
    }
    return winner;
}

double weightedMeanNear(const TempoHistory& history, float winner) {
    double weightedSum = 0.0;
    double weights = 0.0;
    for (const TempoEstimate& estimate : history) {
        if (std::fabs(estimate.bpm - winner) < kVoteSpread) {
            weightedSum += static_cast<double>(estimate.weight) * estimate.bpm;
            weights += estimate.weight;
        }
    }
    return weightedSum / weights;
}
