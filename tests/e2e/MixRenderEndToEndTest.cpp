// A playlist mixed live by the program and rendered offline by spinora-mix: the same mix.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "DisplayTest.h"
#include "MixCapture.h"
#include "SoundFiles.h"

namespace {

constexpr double kSeconds = 34.0;
constexpr double kBlock = 256.0 / kCaptureRate;  // one callback of the card

// The first two go onto the decks side by side, the second matched to the first's tempo; the third
// comes in at its own, matched to theirs.
const SetTrack kTracks[3] = {{"One - First.mp3", 124, 300, 2500},
                             {"Two - Second.mp3", 124, 700, 4000},
                             {"Three - Third.mp3", 128, 1500, 6000}};

// Where, in seconds, the last sound ends.
double lastSound(const std::vector<int16_t>& pcm) {
    const auto it =
        std::find_if(pcm.rbegin(), pcm.rend(), [](int16_t v) { return std::abs(v) > 300; });
    return static_cast<double>((pcm.rend() - it) / 2) / kCaptureRate;
}

// The window of 200 ms in which a tone first reaches half its peak.
std::size_t halfway(const std::vector<int16_t>& pcm, double hz) {
    const std::vector<double> level = levels(pcm, hz);
    const double peak = *std::max_element(level.begin(), level.end());
    return std::find_if(level.begin(), level.end(), [&](double v) { return v > 0.5 * peak; }) -
           level.begin();
}

using MixRenderEndToEndTest = DisplayTest;

TEST_F(MixRenderEndToEndTest, OfflineRenderIsTheLiveMix) {
    Session s;
    const std::filesystem::path music = s.dir.path() / "music";
    std::string list;
    for (const SetTrack& t : kTracks) {
        // Kicks without a snare, whose noise would move where the clicks are read.
        list += s.dir.write(std::string("music/tracks/") + t.name,
                            encodeMp3(setTrackSound(t, kSeconds, false))) +
                "\n";
    }
    const std::string playlist = s.dir.write("music/set.m3u", list);
    ASSERT_EQ(s.run("spinora-analyze", {"--store", QString::fromStdString(music.string())}), 0);
    const std::filesystem::path rendered = s.dir.path() / "set.wav";
    ASSERT_EQ(s.run("spinora-mix", {QString::fromStdString(playlist), "-o",
                                    QString::fromStdString(rendered.string())}),
              0);
    SF_INFO info;
    const std::vector<int16_t> offline = readSound(rendered, info);
    ASSERT_EQ(info.channels, 2);

    s.writeSettings("[General]\nInitial folder=@ByteArray(" + music.string() + ")\n");
    ASSERT_TRUE(s.start());
    ASSERT_TRUE(loadTheSet(s));
    s.key("Tab");  // deck A, with the first track
    s.key("space");
    ASSERT_TRUE(waitForTheEnd(s));
    std::vector<int16_t> live = s.played();
    // From the first sound on, both start with the first track at the same place.
    const double start = firstSound(live);
    ASSERT_GE(start, 0.0);
    live.erase(live.begin(), live.begin() + 2 * std::lround(start * kCaptureRate));
    ASSERT_LT(firstSound(offline), kBlock);

    // The last track ends at the same moment: every track before it came in at the same place.
    EXPECT_NEAR(lastSound(live), lastSound(offline), kBlock);
    for (const SetTrack& t : kTracks) {
        const double speed = 124.0 / t.bpm;  // all at the first track's tempo
        // The program's fade steps follow its window's timer, which on a busy machine runs up to a
        // step behind the card (SDL's disk driver keeps a clock of its own); the render's follow
        // the card.
        const std::size_t fade = halfway(offline, t.toneHz * speed);
        EXPECT_NEAR(static_cast<double>(halfway(live, t.toneHz * speed)), static_cast<double>(fade),
                    2.0)
            << t.name << " fades in at the same place";
        // Its beats, from its fade in to the end, within one callback block of the others'.
        const double from = fade * 0.2;
        const std::vector<double> beatsLive = onsets(live, t.clickHz * speed, from, from + 20);
        const std::vector<double> beatsOffline =
            onsets(offline, t.clickHz * speed, from, from + 20);
        ASSERT_GE(beatsOffline.size(), 20u) << t.name;
        EXPECT_LT(largestBeatOffset(beatsLive, beatsOffline), kBlock) << t.name;
    }
}

}  // namespace
