#include "engine/mix/CueSheet.h"

#include <gtest/gtest.h>

namespace {

// Times round to the nearest 75th of a second (588 samples), and minutes go past 99.
TEST(CueSheetTest, SheetNamesTheFileAndEachTrackWithItsStart) {
    const std::vector<CueTrack> tracks = {
        {"DJ One", "First", 300},
        {"", "Untitled \"Live\"\nTake", 44100 * 61 - 100},
        {"Trio", "Third", int64_t{44100} * (125 * 60 + 7) + 588 * 74 + 293}};
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
              "    INDEX 01 125:07:74\n");
}

}  // namespace
