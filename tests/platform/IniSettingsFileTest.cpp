#include "platform/IniSettingsFile.h"

#include <gtest/gtest.h>

#include <fstream>

#include "FileSizeLimit.h"
#include "Mp3Fixtures.h"
#include "engine/settings/Settings.h"

namespace {

class IniSettingsFileTest : public ::testing::Test {
  protected:
    QString path() const { return QString::fromStdString((dir.path() / "spinora.ini").string()); }
    TempDir dir;
};

TEST_F(IniSettingsFileTest, FailedWriteKeepsTheOldFileAndIsSaid) {
    const std::string old = "[General]\nUse DirectSound=0\nC4=77\n";
    std::ofstream(path().toStdString()) << old;
    IniSettingsFile file(path());
    Settings s;
    readSettings(file, s);
    s.initialFolder = "/home/dj/A folder with a name long enough to pass the limit";
    {
        FileSizeLimit full(40);
        EXPECT_FALSE(writeSettings(file, s, true));
    }
    EXPECT_EQ(fileText(path().toStdString()), old);
    EXPECT_EQ(dir.entries(), 1);  // no temporary file left behind
    EXPECT_TRUE(writeSettings(file, s, true));
}

// A hand-edited file: a line QSettings cannot parse must not cost every other setting, the sound
// cards included, nor the next save.
TEST_F(IniSettingsFileTest, HandWrittenFileIsReadPastALineItCannotParse) {
    std::ofstream(path().toStdString()) << "[General]\n"
                                           "Use two cards=1\n"
                                           "C4=77\n"
                                           "Sound card 1 GUID=HDA Intel PCH, ALC892 Analog\n"
                                           "Initial folder=@ByteArray(/home/dj/Music)\n"
                                           "[unclosed\n";
    IniSettingsFile file(path());
    Settings s;
    EXPECT_EQ(readSettings(file, s), nullptr);
    EXPECT_TRUE(s.useTwoCards);
    EXPECT_EQ(s.columnWidths[4], 77);
    EXPECT_EQ(s.soundCard1, "HDA Intel PCH, ALC892 Analog");
    EXPECT_EQ(s.initialFolder, "/home/dj/Music");

    // QSettings reads the file again when it saves: the line it could not parse then is no
    // failure of the save.
    s.columnWidths[4] = 78;
    IniSettingsFile fresh(path());
    EXPECT_TRUE(writeSettings(fresh, s, true));
    Settings again;
    readSettings(fresh, again);
    EXPECT_EQ(again.columnWidths[4], 78);
}

}  // namespace
