#include "engine/beat/BeatPhase.h"

#include <algorithm>

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

float usableBpm(float bpm) {
    return bpm >= 1.0f && bpm <= 999.0f ? bpm : kFallbackBpm;
}

int32_t onsetAt(const BeatView& view, int slot) {
    return loadShared(view.onsets[slot & kSlotMask]);
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
