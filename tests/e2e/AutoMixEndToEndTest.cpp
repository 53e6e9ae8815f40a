// A playlist played through by the automatic mix, heard in what the card played.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "MixCapture.h"

namespace {

constexpr double kSeconds = 34.0;  // long enough that a track outlives the mix out of it

using Track = SetTrack;
// Two tempos; each track carries a tone and a beat click of its own, to be told apart in the mix.
const Track kTracks[3] = {{"One - First.mp3", 124, 300, 2500},
                          {"Two - Second.mp3", 128, 700, 4000},
                          {"Three - Third.mp3", 124, 1500, 6000}};
// The second track, loaded last onto deck 1 and so selected and started first, plays at 124 / 128
// of its speed to match the first track on deck 0, which follows it; the third follows at 124.
constexpr double kSecondSpeed = 3968.0 / 4096.0;

// The window where a track's tone first reaches half its full level: the eleventh step of a fade
// in (the volume curve keeps the first steps near silence), the first window of a track started
// at full volume.
std::size_t halfwayOf(const std::vector<double>& level) {
    const double peak = *std::max_element(level.begin(), level.end());
    return std::find_if(level.begin(), level.end(), [&](double v) { return v > 0.5 * peak; }) -
           level.begin();
}

void expectCrossfade(const std::vector<double>& out, const std::vector<double>& in,
                     std::size_t halfway) {
    const double inPeak = *std::max_element(in.begin(), in.end());
    const double outPeak = *std::max_element(out.begin(), out.end());
    // Steps of 200 ms read in windows of 200 ms: a window may hold two steps or none, but the
    // level never falls back.
    int rises = 0;
    for (std::size_t k = halfway - 8; k < halfway + 5; ++k) {
        rises += in[k + 1] > in[k] * 1.02;
        EXPECT_GT(in[k + 1], in[k] * 0.97) << "window " << k;
    }
    EXPECT_GE(rises, 8) << "the incoming track rises step by step";
    EXPECT_GT(in[halfway + 8], 0.8 * inPeak);
    EXPECT_GT(out[halfway + 6], 0.5 * outPeak) << "both tracks audible";
}

// The beat clicks of two tracks, while both are loud enough to be heard, fall together: up to 3 s
// from `from`, until the outgoing track's tone (level per 200 ms window) falls under a quarter of
// its peak. Quieter, its clicks drown in the other track's snare, which moves where they are read.
void expectBeatsTogether(const std::vector<int16_t>& pcm, const std::vector<double>& outgoingLevel,
                         double outgoing, double incoming, double from) {
    const double peak = *std::max_element(outgoingLevel.begin(), outgoingLevel.end());
    double to = from;
    while (to < from + 3.0 && outgoingLevel.at(static_cast<std::size_t>(to / 0.2)) > 0.25 * peak) {
        to += 0.2;
    }
    const std::vector<double> out = onsets(pcm, outgoing, from, to);
    const std::vector<double> in = onsets(pcm, incoming, from, to);
    ASSERT_FALSE(out.empty());
    int compared = 0;
    for (double t : in) {
        double nearest = 1.0;
        for (double u : out) {
            nearest = std::min(nearest, std::abs(t - u));
        }
        EXPECT_LT(nearest, 0.010) << "beat at " << t;
        ++compared;
    }
    EXPECT_GE(compared, 2);
}

TEST(AutoMixEndToEndTest, PlaylistOfThreeIsMixedThroughAndStops) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        GTEST_SKIP() << "needs an X display (make test runs it under xvfb-run)";
    }
    Session s;
    const std::filesystem::path music = s.dir.path() / "music";
    std::string list;
    for (const Track& t : kTracks) {
        list += s.dir.write(std::string("music/tracks/") + t.name,
                            encodeMp3(setTrackSound(t, kSeconds, true))) +
                "\n";
    }
    s.dir.write("music/set.m3u", list);  // the only file of its folder
    ASSERT_EQ(s.run("spinora-analyze", {"--store", QString::fromStdString(music.string())}), 0);
    s.writeSettings("[General]\nInitial folder=@ByteArray(" + music.string() + ")\n");
    ASSERT_TRUE(s.start());

    ASSERT_TRUE(loadTheSet(s));
    s.key("space");
    EXPECT_TRUE(waitForTheEnd(s));
    const std::vector<int16_t> pcm = s.played();
    const std::vector<double> two = levels(pcm, kTracks[1].toneHz * kSecondSpeed);
    const std::vector<double> one = levels(pcm, kTracks[0].toneHz);
    const std::vector<double> three = levels(pcm, kTracks[2].toneHz);
    const std::size_t mix1 = halfwayOf(one);
    const std::size_t mix2 = halfwayOf(three);
    ASSERT_LT(halfwayOf(two) + 100, mix1);
    ASSERT_LT(mix1 + 40, mix2);
    ASSERT_LT(mix2 + 40, three.size());
    expectCrossfade(two, one, mix1);
    expectCrossfade(one, three, mix2);
    EXPECT_LT(two[mix1 + 40], 0.05 * two[mix1]);       // the track mixed out is gone
    EXPECT_LT(three.back(), 0.05 * three[mix2 + 40]);  // and everything stops at the end

    // Once the incoming track is at full volume, from the sixteenth step on.
    expectBeatsTogether(pcm, two, kTracks[1].clickHz * kSecondSpeed, kTracks[0].clickHz,
                        (mix1 + 6) * 0.2);
    expectBeatsTogether(pcm, one, kTracks[0].clickHz, kTracks[2].clickHz, (mix2 + 6) * 0.2);
}

TEST(AutoMixEndToEndTest, ShortTrackAndUnplayableFileLeaveNoSilence) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        GTEST_SKIP() << "needs an X display (make test runs it under xvfb-run)";
    }
    Session s;
    const std::filesystem::path music = s.dir.path() / "music";
    struct Row {
        const char* name;
        double seconds, toneHz;  // 0 s: a text file
    };
    const Row rows[5] = {{"One - Opening Song.mp3", 25, 300},
                         {"Two - Short Interlude.mp3", 1, 700},
                         {"Three - Notes.mp3", 0, 0},
                         {"Four - Fourth Song.mp3", 25, 1500},
                         {"Five - Fifth Song.mp3", 25, 2500}};
    std::string list;
    QStringList playable{"--store"};  // the text file is not analysed: it cannot be
    for (const Row& row : rows) {
        const std::string name = std::string("music/tracks/") + row.name;
        const std::string path = row.seconds > 0
                                     ? s.dir.write(name, encodeMp3(tone(row.toneHz, row.seconds)))
                                     : s.dir.write(name, std::string("Not music.\n"));
        list += path + "\n";
        if (row.seconds > 0) {
            playable << QString::fromStdString(path);
        }
    }
    s.dir.write("music/set.m3u", list);
    ASSERT_EQ(s.run("spinora-analyze", playable), 0);
    s.writeSettings("[General]\nInitial folder=@ByteArray(" + music.string() + ")\n");
    ASSERT_TRUE(s.start());

    ASSERT_TRUE(loadTheSet(s));
    s.key("Tab");  // deck A, with the first track
    s.key("space");
    EXPECT_TRUE(waitForTheEnd(s));
    const std::vector<int16_t> pcm = s.played();
    const double silence = longestSilence(pcm, firstSound(pcm));
    EXPECT_LT(silence, 1.0);
    RecordProperty("longest_silence_s", std::to_string(silence));
    for (const Row& row : rows) {
        if (row.seconds > 0) {
            const std::vector<double> level = levels(pcm, row.toneHz);
            EXPECT_GT(*std::max_element(level.begin(), level.end()), 3000.0) << row.name;
        }
    }
}

}  // namespace
