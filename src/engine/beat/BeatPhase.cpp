#include "engine/beat/BeatPhase.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "core/SharedValue.h"
#include "engine/beat/BeatDetector.h"

namespace {

constexpr int kSlotMask = BeatDetector::kHistorySize - 1;
constexpr int kSlotFrames = BeatDetector::kSlotFrames;
constexpr int kRingFrames = BeatDetector::kHistorySize * kSlotFrames;  // the deck's whole ring
constexpr float kFallbackBpm = 120.0f;
constexpr int64_t kDistanceWeight = 600;
constexpr int kMinStripStep = 3686;
constexpr int kColumnUnit = 1024;
// Slots of drift per slot beyond which a line through the beats' lags is noise: tempos matched
// differ by far less than half a percent.
constexpr double kLargestDrift = 0.005;
constexpr double kEdgeFraction = 8.0;

float usableBpm(float bpm) {
    return bpm >= 1.0f && bpm <= 999.0f ? bpm : kFallbackBpm;
}

int32_t onsetAt(const BeatView& view, int slot) {
    return loadShared(view.onsets[slot & kSlotMask]);
}

int32_t steadyOnsetAt(const BeatView& view, int slot) {
    return loadShared(view.steadyOnsets[slot & kSlotMask]);
}

// Where, in beat slots from `from`, the onsets in [from, from + width) first rise an eighth of the
// way from the window's median to its peak: the attack of the beat, which the differing tails of
// two tracks' sounds do not move. Between slots by the straight line through the crossing.
double onsetEdge(const BeatView& view, int from, int width) {
    std::array<int32_t, BeatDetector::kHistorySize> window;
    for (int i = 0; i < width; ++i) {
        window[i] = steadyOnsetAt(view, from + i);
    }
    std::array<int32_t, BeatDetector::kHistorySize> sorted;
    std::copy_n(window.begin(), width, sorted.begin());
    std::nth_element(sorted.begin(), sorted.begin() + width / 2, sorted.begin() + width);
    const double floor = sorted[width / 2];
    const double peak = *std::max_element(window.begin(), window.begin() + width);
    const double threshold = floor + (peak - floor) / kEdgeFraction;
    for (int i = 1; i < width; ++i) {
        if (window[i] > threshold && window[i - 1] <= threshold) {
            return i - 1 + (threshold - window[i - 1]) / (window[i] - window[i - 1]);
        }
    }
    return width / 2.0;
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

}  // namespace

int beatLengthSlots(float globalBpm) {
    return static_cast<int>(73500.0f / usableBpm(globalBpm));
}

void adoptLocalBpm(BeatDetector& detector) {
    storeShared(detector.record().bpm, detector.localBpm());
    storeShared(detector.record().bpmVotes, kLockedBpmVotes);
}

int nextBeatOffset(const BeatView& view) {
    const int length = beatLengthSlots(view.globalBpm);
    const int start = view.readIndex / kSlotFrames;
    int32_t best = 0;
    int result = 0;
    for (int i = 0; i < length; ++i) {
        const int32_t onset = onsetAt(view, start + i);
        if (onset > best) {
            best = onset;
            result = i;
        }
    }
    return result;
}

int findBeatNear(const BeatView& view, int target) {
    const int halfBeat = static_cast<int>(36750.0f / usableBpm(view.globalBpm));
    const int start = view.readIndex / kSlotFrames + target;
    const int ahead = view.aheadCount / kSlotFrames - target;
    const int behind = target + (kRingFrames - view.unfilledCount - view.aheadCount) / kSlotFrames;
    int64_t best = 0;
    int result = 0;
    for (int i = 0; i < halfBeat; ++i) {
        if (i < ahead) {
            const int64_t weighted =
                onsetAt(view, start + i) * kDistanceWeight / (kDistanceWeight + i);
            if (weighted > best) {
                best = weighted;
                result = i;
            }
        }
        if (i < behind) {
            const int64_t weighted =
                onsetAt(view, start - i) * kDistanceWeight / (kDistanceWeight + i);
            if (weighted > best) {
                best = weighted;
                result = -i;
            }
        }
    }
    return result;
}

int beatLag(const BeatView& lead, const BeatView& follower, int shift, int leadPitch,
            int followerPitch) {
    const int beat = beatLengthSlots(lead.globalBpm);
    const int quarter = std::min(beat / 4, BeatDetector::kHistorySize / 2);
    const double ratio = static_cast<double>(followerPitch) / leadPitch;
    const int leadStart = lead.readIndex / kSlotFrames;
    const int followerStart = follower.readIndex / kSlotFrames + shift;
    const int leadEnd = lead.aheadCount / kSlotFrames - BeatDetector::kOnsetLag - quarter;
    const int followerEnd =
        follower.aheadCount / kSlotFrames - shift - BeatDetector::kOnsetLag - quarter;
    std::vector<double> beats;
    std::vector<double> lags;
    for (int b = nextBeatOffset(lead); b < leadEnd && b * ratio < followerEnd; b += beat) {
        if (b < quarter) {
            continue;  // its window would reach back into what is already played
        }
        const double led = b - quarter + onsetEdge(lead, leadStart + b - quarter, 2 * quarter);
        const int expected = static_cast<int>(led * ratio);
        const double followed =
            expected - quarter +
            onsetEdge(follower, followerStart + expected - quarter, 2 * quarter);
        beats.push_back(b);
        lags.push_back(followed - led * ratio);
    }
    if (lags.empty()) {
        return 0;
    }
    // The lag drifts while the two tempos differ by a hair; what counts is the lag at the coming
    // beat. Theil-Sen: the median slope over all pairs, then the median line through it, which
    // one beat drowned by a fill does not tip.
    std::vector<double> slopes;
    for (std::size_t i = 0; i < lags.size(); ++i) {
        for (std::size_t j = i + 1; j < lags.size(); ++j) {
            slopes.push_back((lags[j] - lags[i]) / (beats[j] - beats[i]));
        }
    }
    const double slope =
        slopes.empty() ? 0.0 : std::clamp(median(slopes), -kLargestDrift, kLargestDrift);
    for (std::size_t i = 0; i < lags.size(); ++i) {
        lags[i] -= slope * (beats[i] - beats.front());
    }
    return static_cast<int>(std::lround(median(lags)));
}

void onsetStrip(const BeatView& view, int16_t* out) {
    const int64_t peak = view.peakLevel > 0 ? view.peakLevel : 1;
    const int step = std::max(view.pitch, kMinStripStep);
    int pos = view.readIndex / kSlotFrames;
    int acc = 0;
    for (int c = 0; c < kOnsetStripColumns; ++c) {
        acc += step;
        int32_t strongest = 0;
        if (acc >= kColumnUnit) {
            const int slots = acc / kColumnUnit;
            acc -= slots * kColumnUnit;
            for (int s = 0; s < slots; ++s) {
                strongest = std::max(strongest, onsetAt(view, pos + s));
            }
            pos += slots;
        }
        const int64_t height = strongest * int64_t{kOnsetStripHeight} / peak;
        out[c] = static_cast<int16_t>(std::clamp<int64_t>(height, 0, kOnsetStripHeight - 1));
    }
}
