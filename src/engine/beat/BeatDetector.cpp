#include "engine/beat/BeatDetector.h"

#include <algorithm>
#include <cmath>

#include "core/SharedValue.h"
#include "engine/beat/BeatTables.h"

namespace {

constexpr int kEnvelopeDivisor = 4096;
constexpr int kAdaptiveDelay = 113;      // slots between the newest value and the onset judged
constexpr int kEvaluationPeriod = 1024;  // envelope values between kernel adoptions
constexpr int kLongestWithoutAdoption = 4096;
static_assert(BeatDetector::kOnsetLag >= kAdaptiveDelay &&
              BeatDetector::kOnsetLag >= BeatTables::kTemplateLength);

}  // namespace

BeatDetector::BeatDetector(const float* frameTable, const int* decoding, int32_t optimizedDetection)
    : frameTable_(frameTable), decoding_(decoding), optimized_(optimizedDetection != 0) {
    record_.peakLevel = 1;
    resetForTrack();
    beatTables();  // built here, on the deck's creator's thread, not on the audio thread's first
                   // feed
}

void BeatDetector::resetForTrack() {
    clearHistory();
    const float seed = loadShared(record_.bpm);
    localScale_ = 1.0f;
    localBpm_ = seed;
    tempoHistory_.fill({0.0f, 0});
    runLength_ = 1;
    runSum_ = seed;
    riseCount_ = 0;
    runPeak_ = 0;
}

void BeatDetector::scaleLocalBpm(float factor) {
    localScale_ = localScale_ * factor;
    const float local = localBpm_;
    if (local >= 1.0f && local <= 999.0f) {
        localBpm_ = local * factor;
    }
}

void BeatDetector::clearHistory() {
    envelope_.fill(0);
    lagSums_.fill(0);
    clearShared(onsetHistory_.data(), onsetHistory_.size());
    clearShared(steadyOnsetHistory_.data(), steadyOnsetHistory_.size());
}

void BeatDetector::feed(const int16_t* samples) {
    for (int block = 0; block < kSlotsPerRingFrame; ++block) {
        const int16_t* slot = samples + block * 2 * kSlotFrames;
        int sum = 0;
        for (int i = 0; i < 2 * kSlotFrames; ++i) {
            sum += slot[i];
        }
        const int value = sum / kEnvelopeDivisor;
        const int w = envelopeIndex_;
        accumulateLags(value, w);
        envelope_[w] = static_cast<int16_t>(value);
        envelope_[w + kHistorySize] = static_cast<int16_t>(value);
        if (optimized_) {
            detectOnsetAdaptive(w);
        } else {
            detectOnset(w);
        }
        envelopeIndex_ = w + 1;
    }
    if (envelopeIndex_ == kHistorySize) {
        envelopeIndex_ = 0;
    }
    estimateTempo();
}

void BeatDetector::accumulateLags(int value, int w) {
    // Adds the pairs of the new value and drops those of the value leaving the window, so each
    // sum stays over the newest 1784 values. 16-bit factors let the products vectorise.
    const int16_t added = static_cast<int16_t>(value);
    const int16_t leaving = envelope_[(w - kAutocorrelationWindow) & kSlotMask];
    const int16_t* recent = &envelope_[(w - kLongestLag) & kSlotMask];
    const int16_t* old = &envelope_[(w - kLongestLag - kAutocorrelationWindow) & kSlotMask];
    for (int j = 0; j < kLagCount; ++j) {
        lagSums_[j] += added * recent[j] - leaving * old[j];
    }
}

void BeatDetector::detectOnset(int w) {
    const auto& kick = beatTables().kickTemplate;
    const int16_t* window = &envelope_[(w - (BeatTables::kTemplateLength - 1)) & kSlotMask];
    int32_t sum = 0;
    for (int n = 0; n < BeatTables::kTemplateLength; ++n) {
        sum += window[n] * kick[n];
    }
    const int slot = (w - BeatTables::kTemplateLength) & kSlotMask;
    const int32_t strength = std::abs(sum);
    storeShared(onsetHistory_[slot], strength);
    storeShared(steadyOnsetHistory_[slot], strength);
    updateStartEnd(slot, strength);
}

void BeatDetector::detectOnsetAdaptive(int w) {
    const BeatTables& tables = beatTables();
    const int slot = (w - kAdaptiveDelay) & kSlotMask;
    const int16_t* window = &envelope_[slot];
    int32_t strength = 0;
    int32_t strongest = 0;
    for (int i = 0; i < BeatTables::kKernelCount; ++i) {
        const int16_t* kernel = tables.kernelBank[i].data();
        int32_t sum = 0;
        for (int n = 0; n < tables.kernelLength[i]; ++n) {
            sum += window[n] * kernel[n];
        }
        const int32_t response = std::abs(sum);
        strongest = std::max(strongest, response);
        if (response > periodPeak_) {
            periodPeak_ = response;
            periodBestKernel_ = i;
        }
        if (i == selectedKernel_) {
            strength = response;
        }
    }
    storeShared(onsetHistory_[slot], strength);
    storeShared(steadyOnsetHistory_[slot], strongest);
    updateStartEnd(slot, strength);

    // Adopt the period's best kernel when it reached half the track's peak level, and after a
    // long time without adoption in any case.
    const int32_t old = periodCounter_++;
    if (old % kEvaluationPeriod == 0) {
        if (2 * static_cast<int64_t>(periodPeak_) >= record_.peakLevel ||
            periodCounter_ > kLongestWithoutAdoption) {
            selectedKernel_ = periodBestKernel_;
            periodCounter_ = 1;
        }
        periodPeak_ = 0;
    }
}

void BeatDetector::updateStartEnd(int slot, int32_t strength) {
    const int64_t m = strength;
    const float x = frameTable_[slot / kSlotsPerRingFrame];
    const bool peakGrew = strength > record_.peakLevel;
    if (peakGrew) {
        storeShared(record_.peakLevel, strength);
    }
    if (x > 0.0f && strength > runPeak_) {
        runPeak_ = strength;
        if (3 * m > 2 * static_cast<int64_t>(record_.peakLevel)) {
            // Full: the newest rise gives way, the earliest ones decide the start.
            const int at = riseCount_ < kRiseCapacity ? riseCount_++ : kRiseCapacity - 1;
            rises_[at] = {x, strength};
        }
    }
    if (peakGrew) {
        startAtEarliestRise();
    }
    const int64_t peak = record_.peakLevel;
    // The start is the earliest onset above two thirds of the peak level, the end the latest
    // above half of it; a candidate whose strength fell behind the grown peak gives way.
    if (x > 0.0f && 3 * m > 2 * peak &&
        (3 * static_cast<int64_t>(record_.startStrength) < 2 * peak || x < record_.startPosition)) {
        storeShared(record_.startPosition, x);
        storeShared(record_.startStrength, strength);
    }
    if (x < 1.0f && 2 * m > peak &&
        (2 * static_cast<int64_t>(record_.endStrength) < peak || x > record_.endPosition)) {
        storeShared(record_.endPosition, x);
        storeShared(record_.endStrength, strength);
    }
}

void BeatDetector::startAtEarliestRise() {
    const int64_t peak = record_.peakLevel;
    // A rise below two thirds of the peak can never be the start again: the peak only grows.
    int kept = 0;
    const Rise* earliest = nullptr;
    for (int i = 0; i < riseCount_; ++i) {
        if (3 * static_cast<int64_t>(rises_[i].strength) > 2 * peak) {
            rises_[kept] = rises_[i];
            if (earliest == nullptr || rises_[kept].position < earliest->position) {
                earliest = &rises_[kept];
            }
            ++kept;
        }
    }
    riseCount_ = kept;
    if (earliest != nullptr && (3 * static_cast<int64_t>(record_.startStrength) < 2 * peak ||
                                earliest->position < record_.startPosition)) {
        storeShared(record_.startPosition, earliest->position);
        storeShared(record_.startStrength, earliest->strength);
    }
}

void BeatDetector::estimateTempo() {
    const LagPeak peak = findLagPeak(lagSums_);
    rawBpm_ = octaveCorrectedBpm(lagSums_, peak);
    tempoHistory_[tempoHistoryIndex_] = {rawBpm_, peak.value / 256 + 1};
    tempoHistoryIndex_ = (tempoHistoryIndex_ + 1) % kTempoHistoryLength;

    const float winner = voteWinner(tempoHistory_);
    if (winner < 1.0f || winner > 999.0f) {
        localBpm_ = winner;
        return;
    }
    const double average = weightedMeanNear(tempoHistory_, winner);
    localBpm_ = static_cast<float>(average * localScale_);

    // The global BPM is the mean of the longest run of local values within 2 BPM of the run's
    // own mean; silence after the end of the stream never counts.
    if (*decoding_ == 0) {
        return;
    }
    if (std::fabs(average - runSum_ / runLength_) < 2.0) {
        runSum_ = static_cast<float>(runSum_ + average);
        ++runLength_;
    } else {
        runSum_ = static_cast<float>(average);
        runLength_ = 1;
    }
    if (runLength_ >= loadShared(record_.bpmVotes)) {
        storeShared(record_.bpmVotes, runLength_);
        storeShared(record_.bpm, runSum_ / runLength_);
    }
}
