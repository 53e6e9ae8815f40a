#include "engine/beat/BeatDetector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "DetectorRig.h"
#include "Pcm.h"

namespace {

// Drums at 120 BPM whose every beat is played at the level gain(beat) gives, 0 to 1.
template <class Gain>
Pcm drumsAtLevels(double seconds, Gain&& gain) {
    Pcm pcm = drums(120, seconds);
    const int beatFrames = pcm.sampleRate / 2;
    for (int i = 0; i < static_cast<int>(pcm.samples.size()); ++i) {
        const double g = gain(i / 2 / beatFrames);
        pcm.samples[i] = static_cast<int16_t>(std::lrint(pcm.samples[i] * g));
    }
    return pcm;
}

// Seconds from the track's start to where the detector puts the start of the music.
double startSeconds(const Pcm& pcm, int32_t optimized) {
    DetectorRig rig(optimized);
    rig.play(pcm);
    return rig.detector.record().startPosition * pcm.seconds();
}

TEST(BeatDetectorTest, DigitalSilenceGivesNoTempoAndNoStartOrEnd) {
    DetectorRig rig;
    rig.play(silence(5.0));
    EXPECT_FLOAT_EQ(rig.detector.localBpm(), 999.9f);
    const TrackInfoRecord& r = rig.detector.record();
    EXPECT_EQ(std::tuple(r.startPosition, r.endPosition, r.startStrength, r.endStrength),
              std::tuple(0.0f, 0.0f, 0, 0));
}

TEST(BeatDetectorTest, DrumsGiveTheirTempoAndTheStartCannotBeTheFirstFrame) {
    for (int32_t optimized : {1, 0}) {
        SCOPED_TRACE(optimized);
        DetectorRig rig(optimized);
        const Pcm beat = drums(120, 20.0);
        rig.play(beat);
        const TrackInfoRecord& r = rig.detector.record();
        EXPECT_NEAR(rig.detector.localBpm(), 120.0, 0.2);
        EXPECT_NEAR(r.bpm, 120.0, 0.2);
        EXPECT_GT(r.bpmVotes, 100);
        // The kick at 0.0 s lies in the frame at position 0.0, which cannot be the start; the
        // next one, half a second later, is (the plain template answers a little early).
        EXPECT_NEAR(r.startPosition * 20.0, 0.5, 0.08);
        EXPECT_NEAR(r.endPosition * 20.0, 19.5, 0.55);
        EXPECT_GE(r.peakLevel, std::max(r.startStrength, r.endStrength));
    }
    // A slow and a fast tempo, each found at its own octave.
    for (const double bpm : {93.0, 140.0}) {
        DetectorRig rig;
        rig.play(drums(bpm, 30.0));
        EXPECT_NEAR(rig.detector.record().bpm, bpm, 0.2) << bpm;
    }
}

// The start is the earliest onset above two thirds of the track's peak, however late the peak
// comes.
TEST(BeatDetectorTest, StartIsTheFirstKickLoudEnoughForTheTracksPeak) {
    // An intro until 10 s, the music from there, and a louder chorus from 20 s: the music reaches
    // two thirds of the chorus, the intro does not.
    const Pcm song = drumsAtLevels(30.0, [](int beat) {
        if (beat < 20) {
            return 0.52;
        }
        return beat < 40 ? 0.74 : 1.0;
    });
    for (int32_t optimized : {1, 0}) {
        SCOPED_TRACE(optimized);
        EXPECT_NEAR(startSeconds(song, optimized), 10.0, 0.08);
    }
}

}  // namespace
