// A playlist played through by the automatic mix, heard in what the card played.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>

#include "Session.h"

namespace {

constexpr double kSeconds = 34.0;  // long enough that a track outlives the mix out of it
constexpr int kRate = 44100;
constexpr int kWindow = kRate / 5;  // the 200 ms of a mix step

struct Track {
    const char* name;
    double bpm, toneHz, clickHz;
};
// Two tempos; each track carries a tone and a beat click of its own, to be told apart in the mix.
const Track kTracks[3] = {{"One - First.mp3", 124, 300, 2500},
                          {"Two - Second.mp3", 128, 700, 4000},
                          {"Three - Third.mp3", 124, 1500, 6000}};
// The second track, loaded last onto deck 1 and so selected and started first, plays at 124 / 128
// of its speed to match the first track on deck 0, which follows it; the third follows at 124.
constexpr double kSecondSpeed = 3968.0 / 4096.0;

// Amplitude of a frequency over 20 ms under a Hann window, which keeps the kicks out of it.
double shortAmplitude(const std::vector<int16_t>& pcm, double hz, long from) {
    constexpr int kCount = kRate / 50;
    double re = 0.0;
    double im = 0.0;
    for (long i = 0; i < kCount; ++i) {
        const double weight = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / kCount);
        const double angle = 2.0 * M_PI * hz * i / kRate;
        re += weight * pcm[2 * (from + i)] * std::cos(angle);
        im += weight * pcm[2 * (from + i)] * std::sin(angle);
    }
    return 4.0 * std::hypot(re, im) / kCount;
}

// A frequency's level in each 200 ms window: the median of its ten 20 ms readings. The mix moves a
// deck by whole beat slots at every step, and one reading across a move would cancel itself.
std::vector<double> levels(const std::vector<int16_t>& pcm, double hz) {
    constexpr int kParts = 10;
    std::vector<double> out;
    for (long at = 0; 2 * (at + kWindow) <= static_cast<long>(pcm.size()); at += kWindow) {
        std::array<double, kParts> part;
        for (int j = 0; j < kParts; ++j) {
            part[j] = shortAmplitude(pcm, hz, at + j * kWindow / kParts);
        }
        std::sort(part.begin(), part.end());
        out.push_back((part[kParts / 2 - 1] + part[kParts / 2]) / 2.0);
    }
    return out;
}

// Where a click frequency starts sounding, in seconds, within a span.
std::vector<double> onsets(const std::vector<int16_t>& pcm, double hz, double from, double to) {
    constexpr int kSpan = 132;  // 3 ms
    std::vector<double> energy;
    for (long at = static_cast<long>(from * kRate); at < to * kRate; at += 22) {
        energy.push_back(amplitude(pcm, hz, at, kSpan));
    }
    const double peak = *std::max_element(energy.begin(), energy.end());
    std::vector<double> found;
    for (std::size_t i = 1; i < energy.size(); ++i) {
        if (energy[i] > 0.3 * peak && energy[i - 1] <= 0.3 * peak) {
            found.push_back(from + i * 22.0 / kRate);
        }
    }
    return found;
}

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

// The beat clicks of two tracks, while both are loud enough to be heard, fall together.
void expectBeatsTogether(const std::vector<int16_t>& pcm, double outgoing, double incoming,
                         double from) {
    const std::vector<double> out = onsets(pcm, outgoing, from, from + 3.0);
    const std::vector<double> in = onsets(pcm, incoming, from, from + 3.0);
    ASSERT_FALSE(out.empty());
    int compared = 0;
    for (double t : in) {
        if (t > out.back() + 0.05) {
            break;  // the outgoing track has faded below hearing
        }
        double nearest = 1.0;
        for (double u : out) {
            nearest = std::min(nearest, std::abs(t - u));
        }
        EXPECT_LT(nearest, 0.010) << "beat at " << t;
        ++compared;
    }
    EXPECT_GE(compared, 2);
}

// On the auto-mix page, the playlist file of the music folder into the playlist and "Auto Mix"
// on: its first two entries go onto the decks, the rest into the playlist. False when the decks
// never showed their titles.
bool loadTheSet(Session& s) {
    s.key("F3");
    s.drag(250, 101, 520, 150);
    s.click(250, 60);
    const QRect titles[2] = {QRect(76, 562, 145, 26), QRect(577, 562, 145, 26)};
    return s.waitUntil([&] {
        const QImage shot = s.screenshot();
        return pixelsNear(shot, titles[0], qRgb(0, 255, 0), 60) > 30 &&
               pixelsNear(shot, titles[1], qRgb(0, 255, 0), 60) > 30;
    });
}

// A set of over a minute, then two seconds of silence: everything stopped.
bool waitForTheEnd(Session& s) {
    return s.waitUntil(
        [&] {
            const std::vector<int16_t> pcm = s.played();
            const long tail = static_cast<long>(pcm.size()) - 2 * 2 * kRate;
            return tail > 2L * kRate * 60 &&
                   std::all_of(pcm.begin() + tail, pcm.end(), [](int16_t v) { return v == 0; });
        },
        180);
}

TEST(AutoMixEndToEndTest, PlaylistOfThreeIsMixedThroughAndStops) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        GTEST_SKIP() << "needs an X display (make test runs it under xvfb-run)";
    }
    Session s;
    const std::filesystem::path music = s.dir.path() / "music";
    std::string list;
    for (const Track& t : kTracks) {
        // Under half scale, so that two tracks together stay within full scale: the card's
        // limiter then passes their sum as it is, and the levels read are the fades' own.
        const Pcm pcm =
            scaled(mixed({drums(t.bpm, kSeconds), tone(t.toneHz, kSeconds, kRate, 2, 3000),
                          clicks(t.bpm, kSeconds, t.clickHz)}),
                   0.45);
        list += s.dir.write(std::string("music/tracks/") + t.name, encodeMp3(pcm)) + "\n";
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
    expectBeatsTogether(pcm, kTracks[1].clickHz * kSecondSpeed, kTracks[0].clickHz,
                        (mix1 + 6) * 0.2);
    expectBeatsTogether(pcm, kTracks[0].clickHz, kTracks[2].clickHz, (mix2 + 6) * 0.2);
}

// The longest run of 100 ms windows, in seconds, between the first sound and the last, in which
// nothing is heard.
double longestSilence(const std::vector<int16_t>& pcm) {
    constexpr long kSpan = kRate / 10;
    std::vector<bool> heard;
    for (long at = 0; 2 * (at + kSpan) <= static_cast<long>(pcm.size()); at += kSpan) {
        heard.push_back(std::any_of(pcm.begin() + 2 * at, pcm.begin() + 2 * (at + kSpan),
                                    [](int16_t v) { return std::abs(v) > 300; }));
    }
    const auto first = std::find(heard.begin(), heard.end(), true);
    const auto last = std::find(heard.rbegin(), heard.rend(), true).base();
    int run = 0;
    int longest = 0;
    for (auto it = first; it < last; ++it) {
        run = *it ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest * 0.1;
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
    const double silence = longestSilence(pcm);
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
