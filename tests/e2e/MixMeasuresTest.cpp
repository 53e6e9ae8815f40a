// Four tracks never analysed before, each with a silent intro, mixed through by the automatic mix
// with "Auto BPM": what a listener hears, measured in what the card played.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "DisplayTest.h"
#include "MixMeasures.h"

namespace {

constexpr double kIntro = 8.0;  // seconds of silence before each track's music
constexpr double kMusic = 30.0;

// Each track carries a tone and a beat click of its own, clicks far enough apart in frequency to
// be told apart over a click's 3 ms. The first two go onto decks 0 and 1; deck 1, selected, plays
// first, and every other track is matched to its tempo.
// The tones are half a hertz off a whole number: a tone with whole cycles in a second repeats
// exactly at the detector's lag of one second (two beats at 120 BPM) and pulls the tempo it finds
// towards 120, as a real track's drone seldom does.
const SetTrack kTracks[4] = {{"One - First.mp3", 118, 300.5, 4000.0 / 3},
                             {"Two - Second.mp3", 124, 500.5, 8000.0 / 3},
                             {"Three - Third.mp3", 130, 700.5, 4000},
                             {"Four - Fourth.mp3", 121, 900.5, 16000.0 / 3}};
constexpr int kPlayOrder[4] = {1, 0, 2, 3};
constexpr double kSetBpm = 124;
// The beats of two tracks in a fade; a mix begun blind is off by 100 ms or more.
constexpr double kBeatBound = 0.005;

// Peaks at -1 dBFS, so that two tracks together go over full scale. The clicks stay quiet enough
// that the tone's own steps count.
Pcm trackSound(const SetTrack& t) {
    return concat({silence(kIntro), mixed({tone(t.toneHz, kMusic, kCaptureRate, 2, 10000),
                                           scaled(kicks(t.bpm, kMusic), 0.5),
                                           scaled(clicks(t.bpm, kMusic, t.clickHz), 0.25)})});
}

double speedOf(const SetTrack& t) {
    return kSetBpm / t.bpm;
}

// As a person would, each step once the screen shows the last one done: on the auto-mix page, the
// playlist file of the music folder into the playlist and "Auto Mix" on, which puts its first two
// entries onto the decks. A slow start lists the folder late.
bool loadTheSet(Session& s) {
    const auto shows = [&](const QRect& rect, QRgb colour) {
        return s.waitUntil([&] { return pixelsNear(s.screenshot(), rect, colour, 60) > 10; });
    };
    s.key("F3");
    if (!shows(QRect(185, 94, 60, 14), qRgb(0, 0, 0))) {  // the playlist file in the file list
        return false;
    }
    s.drag(250, 101, 520, 150);
    if (!shows(QRect(408, 94, 80, 14), qRgb(0, 0, 0))) {  // its first entry in the playlist
        return false;
    }
    s.click(250, 60);
    return shows(QRect(76, 562, 145, 26), qRgb(0, 255, 0)) &&
           shows(QRect(577, 562, 145, 26), qRgb(0, 255, 0));  // both decks' titles
}

using MixMeasuresTest = DisplayTest;

TEST_F(MixMeasuresTest, UnanalysedTracksMixBeatTrueWithoutJumpsClipsOrSilence) {
    Session s;
    const std::filesystem::path music = s.dir.path() / "music";
    std::string list;
    int ownSteps[4];
    for (int i = 0; i < 4; ++i) {
        const Pcm pcm = trackSound(kTracks[i]);
        ownSteps[i] = largestStep(pcm.samples, 2);
        list += s.dir.write(std::string("music/tracks/") + kTracks[i].name, encodeMp3(pcm)) + "\n";
    }
    s.dir.write("music/set.m3u", list);
    s.writeSettings("[General]\nInitial folder=@ByteArray(" + music.string() + ")\n");
    ASSERT_TRUE(s.start());

    ASSERT_TRUE(loadTheSet(s));
    // Played once the program knows the four tracks (their records saved), as a person who sees
    // their tempos in the playlist would.
    const std::filesystem::path store = s.data() / "Spinora.idb";
    ASSERT_TRUE(s.waitUntil(
        [&] {
            std::error_code error;
            return std::filesystem::file_size(store, error) >= 4 * 48 && !error;
        },
        90));
    const double pressed = static_cast<double>(s.played().size() / 2) / kCaptureRate;
    s.key("space");
    // A set of over a minute, then two seconds of silence: everything stopped.
    ASSERT_TRUE(s.waitUntil(
        [&] {
            const std::vector<int16_t> pcm = s.played();
            const long tail = static_cast<long>(pcm.size()) - 2 * 2 * kCaptureRate;
            return tail > 2L * kCaptureRate * 60 &&
                   std::all_of(pcm.begin() + tail, pcm.end(), [](int16_t v) { return v == 0; });
        },
        180));
    const std::vector<int16_t> pcm = s.played();

    // The first track starts at its music, the set plays through without a gap.
    const double start = firstSound(pcm) - pressed;
    const double silence = longestSilence(pcm, pressed);
    EXPECT_LT(start, 0.5) << "the first track starts at its music";
    EXPECT_LE(silence, 0.5);

    // Every fade: both tracks heard, their beats together.
    int bound = 0;
    for (int k = 0; k + 1 < 4; ++k) {
        const SetTrack& out = kTracks[kPlayOrder[k]];
        const SetTrack& in = kTracks[kPlayOrder[k + 1]];
        const Span heard =
            heardTogether(pcm, out.toneHz * speedOf(out), in.toneHz * speedOf(in), 0.05);
        EXPECT_GT(heard.to - heard.from, 3.0) << "fade " << k + 1 << ": both tracks heard together";
        const double offset = largestBeatOffset(pcm, out, speedOf(out), in, speedOf(in));
        EXPECT_GE(offset, 0.0) << "fade " << k + 1 << ": clicks of both tracks";
        EXPECT_LE(offset, kBeatBound) << "fade " << k + 1 << " from " << heard.from << " s";
        bound = std::max(bound, static_cast<int>(ownSteps[kPlayOrder[k]] * speedOf(out) +
                                                 ownSteps[kPlayOrder[k + 1]] * speedOf(in)));
    }

    // No jump beyond what two tracks together hold, a tenth more for what their coding adds; and
    // nothing clipped.
    bound = bound * 11 / 10;
    const int jump = largestStep(pcm, 2);
    const long clipped =
        std::count_if(pcm.begin(), pcm.end(), [](int16_t v) { return std::abs(v) >= 32767; });
    EXPECT_LE(jump, bound);
    EXPECT_EQ(clipped, 0);
}

}  // namespace
