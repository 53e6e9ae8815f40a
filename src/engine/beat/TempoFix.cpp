#include "engine/beat/TempoFix.h"

#include "core/SharedValue.h"
#include "engine/beat/BeatDetector.h"

namespace {

bool validBpm(float bpm) {
    return bpm >= 1.0f && bpm <= 999.0f;
}

// Numerator and denominator, so that a fix and its inverse give the tempo back.
struct Ratio {
    double up, down;
};

Ratio ratioOf(TempoFix fix) {
    switch (fix) {
        case TempoFix::kDouble:
            return {2, 1};
        case TempoFix::kHalve:
            return {1, 2};
        case TempoFix::kThreeHalves:
            return {3, 2};
        case TempoFix::kTwoThirds:
            return {2, 3};
        case TempoFix::kLock:
            break;
    }
    return {1, 1};
}

}  // namespace

std::optional<float> fixedBpm(float bpm, TempoFix fix) {
    const Ratio ratio = ratioOf(fix);
    const auto fixed = static_cast<float>(bpm * ratio.up / ratio.down);
    if (!validBpm(bpm) || !validBpm(fixed)) {
        return std::nullopt;
    }
    return fixed;
}

bool fixTempo(BeatDetector& detector, TempoFix fix) {
    TrackInfoRecord& record = detector.record();
    const float global = loadShared(record.bpm);
    const std::optional<float> fixed =
        fixedBpm(validBpm(global) ? global : detector.localBpm(), fix);
    if (!fixed) {
        return false;
    }
    const Ratio ratio = ratioOf(fix);
    detector.scaleLocalBpm(static_cast<float>(ratio.up / ratio.down));
    storeShared(record.bpm, *fixed);
    storeShared(record.bpmVotes, kLockedBpmVotes);
    return true;
}
