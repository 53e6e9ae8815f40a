// A playlist with a short track and a file that is not music, played through by the automatic
// mix: heard in what the card played.
#include <gtest/gtest.h>

#include <algorithm>

#include "DisplayTest.h"
#include "MixCapture.h"

namespace {

using AutoMixEndToEndTest = DisplayTest;

TEST_F(AutoMixEndToEndTest, ShortTrackAndUnplayableFileLeaveNoSilence) {
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
