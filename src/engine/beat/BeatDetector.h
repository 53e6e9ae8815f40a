#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "core/TrackInfoRecord.h"
#include "engine/beat/TempoEstimate.h"

// The tempo and onset analysis of one deck, fed with every MP3 frame that enters the deck's ring:
// a decimated envelope, onset strengths by matched filtering against kick-drum chirps, a tempo
// estimate per MP3 frame from a sliding autocorrelation, the local BPM voted over the latest 64
// estimates, and in the track's record the global BPM and where the music starts and ends. It
// runs on the audio thread (built on the main thread); the main thread and the display read the
// local BPM, the record and the onset history while it runs, the other accessors are for tests
// between feeds.
class BeatDetector {
  public:
    static constexpr int kHistorySize = 4096;  // beat slots of the deck's ring
    static constexpr int kSlotFrames = 36;     // stereo frames per beat slot
    // Beat slots by which the newest onset judged trails the newest slot fed: the slots after it
    // still hold the onsets of the ring's previous round.
    static constexpr int kOnsetLag = 150;
    static constexpr int kSlotsPerRingFrame = 32;  // beat slots per MP3 frame
    static constexpr int kAutocorrelationWindow = 1784;

    // frameTable: the deck's stream position (0..1) of each ring slot's MP3 frame (-1.0 for
    // silence after the end); decoding: the deck's flag that the decoder still delivers music.
    BeatDetector(const float* frameTable, const int* decoding, int32_t optimizedDetection);

    // Before a new track's record takes the place of the old one: the local BPM and the first run
    // start from the previous track's global BPM.
    void resetForTrack();
    // After a jump: envelope, lag sums and onsets start again; tempo history and record stay.
    void clearHistory();
    // One MP3 frame: 1152 stereo frames, interleaved.
    void feed(const int16_t* samples);

    // main: multiplies the local BPM by factor, now and for the rest of the track: the user took
    // the detector's tempo for a related one.
    void scaleLocalBpm(float factor);

    // BPM.
    float localBpm() const { return localBpm_; }
    float rawBpm() const { return rawBpm_; }
    TrackInfoRecord& record() { return record_; }
    const TrackInfoRecord& record() const { return record_; }
    // Onset strength per beat slot, written here while the display and the window read it.
    const int32_t* onsetHistory() const { return onsetHistory_.data(); }
    // The same onsets as the kernel bank's strongest response, which keeps each attack in its
    // place while the adopted kernel changes; what two decks' beats are lined up by.
    const int32_t* steadyOnsetHistory() const { return steadyOnsetHistory_.data(); }
    const LagSums& lagSums() const { return lagSums_; }
    int selectedKernel() const { return selectedKernel_; }

  private:
    static constexpr int kSlotMask = kHistorySize - 1;

    void accumulateLags(int value, int w);
    void detectOnset(int w);
    void detectOnsetAdaptive(int w);
    void updateStartEnd(int slot, int32_t strength);
    // The peak level grew: the start moves to the earliest rise still above two thirds of it.
    void startAtEarliestRise();
    void estimateTempo();

    // Two copies of the envelope back to back, so that every window reads forward without
    // wrapping.
    std::array<int16_t, 2 * kHistorySize> envelope_{};
    int envelopeIndex_ = 0;
    TempoHistory tempoHistory_{};
    int tempoHistoryIndex_ = 0;
    float runSum_ = 0.0f;
    int32_t runLength_ = 1;
    const float* frameTable_;
    const int* decoding_;
    const bool optimized_;
    int32_t selectedKernel_ = 0;
    int32_t periodBestKernel_ = 0;
    int32_t periodPeak_ = 0;
    int32_t periodCounter_ = 0;
    LagSums lagSums_{};
    std::atomic<float> localBpm_{0.0f};
    std::atomic<float> localScale_{1.0f};  // the user's correction, written by the main thread
    float rawBpm_ = 0.0f;
    TrackInfoRecord record_{};
    std::array<int32_t, kHistorySize> onsetHistory_{};
    std::array<int32_t, kHistorySize> steadyOnsetHistory_{};

    // The onsets of this track's run that set a new running maximum (stream position and
    // strength), as long as they are start candidates: a later, louder part must not pull the
    // start away from an earlier onset that is still loud enough.
    struct Rise {
        float position;
        int32_t strength;
    };
    static constexpr int kRiseCapacity = 32;
    std::array<Rise, kRiseCapacity> rises_{};
    int riseCount_ = 0;
    int32_t runPeak_ = 0;
};
