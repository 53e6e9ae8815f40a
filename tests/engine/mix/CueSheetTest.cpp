#include "engine/mix/CueSheet.h"

#include <gtest/gtest.h>

namespace {

TEST(CueSheetTest, TimesAreRoundedToTheNearestSheetFrameAndMinutesGoPast99) {
    EXPECT_EQ(cueTime(293), "00:00:00");
    EXPECT_EQ(cueTime(295), "00:00:01");  // one 75th of a second is 588 samples
    EXPECT_EQ(cueTime(44100 - 100), "00:01:00") << "rounded up into the next second";
    EXPECT_EQ(cueTime(int64_t{44100} * (125 * 60 + 7) + 588 * 74), "125:07:74");
    EXPECT_EQ(cueTime(-5), "00:00:00");
}

TEST(CueSheetTest, SheetNamesTheFileAndEachTrackWithItsStart) {
    const std::vector<CueTrack> tracks = {{"DJ One", "First", 300},
                                          {"", "Untitled \"Live\"\nTake", 44100 * 61},
                                          {"Trio", "Third", 44100 * 130 + 588 * 3}};
    EXPECT_EQ(cueSheet("Friday", "friday.wav", "WAVE", tracks),
              "TITLE \"Friday\"\n"
              "FILE \"friday.wav\" WAVE\n"
              "  TRACK 01 AUDIO\n"
              "    TITLE \"First\"\n"
              "    PERFORMER \"DJ One\"\n"
              "    INDEX 01 00:00:00\n"  // the first track opens the file, wherever it is heard
              "  TRACK 02 AUDIO\n"
              "    TITLE \"Untitled 'Live' Take\"\n"
              "    INDEX 01 01:01:00\n"
              "  TRACK 03 AUDIO\n"
              "    TITLE \"Third\"\n"
              "    PERFORMER \"Trio\"\n"
              "    INDEX 01 02:10:03\n");
}

TEST(CueSheetTest, SheetStopsAt99TracksAndTheListNumbersThemAll) {
    std::vector<CueTrack> tracks(120, CueTrack{"A", "T", 0});
    const std::string sheet = cueSheet("Long", "long.mp3", "MP3", tracks);
    EXPECT_NE(sheet.find("TRACK 99 AUDIO"), std::string::npos);
    EXPECT_EQ(sheet.find("TRACK 100"), std::string::npos);
    EXPECT_EQ(trackListLine(105, {"Artist", "Song", int64_t{44100} * 3725}),
              "105  1:02:05  Artist - Song");
    EXPECT_EQ(trackListLine(1, {"", "Alone", 0}), "01  0:00:00  Alone");
}

}  // namespace
