#include "engine/settings/Settings.h"

#include <gtest/gtest.h>

#include <QString>
#include <fstream>
#include <map>

#include "FileSizeLimit.h"
#include "Mp3Fixtures.h"
#include "platform/IniSettingsFile.h"

namespace {

class MemorySettingsFile : public SettingsFile {
  public:
    bool openForReading() override { return exists; }
    bool openForWriting() override { return writable; }
    std::optional<SettingValue> value(const std::string& key) const override {
        const auto found = values.find(key);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    void writeNumber(const std::string& key, int32_t value) override {
        values[key] = {SettingValue::Kind::Number, value, {}};
    }
    void writeBytes(const std::string& key, const std::string& bytes) override {
        values[key] = {SettingValue::Kind::Bytes, 0, bytes};
    }
    bool close() override { return true; }

    void number(const std::string& key, int32_t n) { writeNumber(key, n); }
    void text(const std::string& key, const std::string& t) {
        values[key] = {SettingValue::Kind::Text, 0, t};
    }

    bool exists = true;
    bool writable = true;
    std::map<std::string, SettingValue> values;
};

Settings read(MemorySettingsFile& file, const char** error = nullptr) {
    Settings settings;
    const char* message = readSettings(file, settings);
    if (error != nullptr) {
        *error = message;
    }
    return settings;
}

TEST(SettingsTest, MissingSettingsGiveOneCardDirectSoundAndTheDesktop) {
    MemorySettingsFile file;
    file.exists = false;
    const char* error = "unset";
    const Settings s = read(file, &error);
    EXPECT_EQ(error, nullptr);
    EXPECT_EQ(s.optimizedBeatDetection, 1);
    EXPECT_TRUE(s.useDirectSound);
    EXPECT_TRUE(s.useDirectDraw);
    EXPECT_FALSE(s.use3dCard || s.useTwoCards || s.useMixTable || s.swap3dOutput);
    EXPECT_FALSE(s.splitCueOutput);
    EXPECT_TRUE(s.initialFolder.empty());
    EXPECT_TRUE(s.coolColor);
    EXPECT_EQ(s.columnWidths[0], 241);
    EXPECT_EQ(s.columnWidths[15], 248);
    EXPECT_EQ(s.bandWidths[4], 361);
}

TEST(SettingsTest, SwitchesAndTheirReadingRules) {
    MemorySettingsFile file;
    file.number("Use DirectSound", 5);
    file.number("Use DirectDraw", 0);
    file.number("Optimized beat detection", 7);
    file.number("Swap 3D output", 0);
    file.text("Cool Color", "0");  // text, not a number: ignored
    Settings s = read(file);
    EXPECT_TRUE(s.useDirectSound);
    EXPECT_FALSE(s.useDirectDraw);
    EXPECT_EQ(s.optimizedBeatDetection, 7);
    EXPECT_TRUE(s.swap3dOutput);
    EXPECT_TRUE(s.coolColor);

    file.number("Use DirectSound", 0);
    file.number("Swap 3D output", 1);
    s = read(file);
    EXPECT_FALSE(s.useDirectSound);
    EXPECT_FALSE(s.swap3dOutput);
}

TEST(SettingsTest, ImpossibleSoundConfigurations) {
    struct Case {
        int card3d, twoCards, mixTable, directSound;
        bool invalid, splitCue;
    };
    const Case cases[] = {
        {0, 0, 0, 1, false, false}, {1, 1, 0, 1, true, true},  {1, 0, 0, 0, true, true},
        {0, 0, 1, 1, true, false},  {0, 1, 0, 1, false, true}, {0, 1, 1, 1, false, false},
        {1, 0, 1, 1, false, false}, {0, 1, 0, 0, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.card3d << c.twoCards << c.mixTable << c.directSound);
        MemorySettingsFile file;
        file.number("Use 3D card", c.card3d);
        file.number("Use two cards", c.twoCards);
        file.number("Use mix table", c.mixTable);
        file.number("Use DirectSound", c.directSound);
        const char* error = nullptr;
        const Settings s = read(file, &error);
        EXPECT_EQ(error != nullptr, c.invalid);
        if (c.invalid) {
            EXPECT_STREQ(error,
                         "Actual configuration is invalid ! Please execute the setup program.");
        }
        EXPECT_EQ(s.splitCueOutput, c.splitCue);
    }
}

TEST(SettingsTest, SearchColumnsAllZeroComeBackAtTheirDefaults) {
    MemorySettingsFile file;
    for (const char* key : {"C12", "C13", "C14", "C15"}) {
        file.number(key, 0);
    }
    file.number("C3", 0);
    Settings s = read(file);
    EXPECT_EQ(s.columnWidths[12], 251);
    EXPECT_EQ(s.columnWidths[15], 248);
    EXPECT_EQ(s.columnWidths[3], 0);

    file.number("C14", 30);
    s = read(file);
    EXPECT_EQ(s.columnWidths[12], 0);
    EXPECT_EQ(s.columnWidths[14], 30);
}

TEST(SettingsTest, DeviceNamesAndTheTopFolder) {
    MemorySettingsFile file;
    file.text("Sound card GUID", "USB Audio CODEC");
    file.writeBytes("Sound card 1 GUID", "Built-in Audio");
    file.number("Sound card 2 GUID", 3);
    file.text("Initial folder", "/not/binary");
    Settings s = read(file);
    EXPECT_EQ(s.soundCard, "USB Audio CODEC");
    EXPECT_EQ(s.soundCard1, "Built-in Audio");
    EXPECT_EQ(s.soundCard2, "");
    EXPECT_EQ(s.initialFolder, "");  // only bytes name a folder

    file.writeBytes("Initial folder", "/home/dj/Music");
    EXPECT_EQ(read(file).initialFolder, "/home/dj/Music");
}

TEST(SettingsTest, WritesBackOnlyTheLayoutAndTopFolder) {
    Settings s;
    s.columnWidths[2] = 60;
    s.bandWidths[0] = 8;
    MemorySettingsFile file;
    writeSettings(file, s, false);
    EXPECT_EQ(file.values.size(), 16u);  // no folder for the desktop, no bands without a container
    EXPECT_EQ(file.values["C2"].number, 60);

    s.initialFolder = "/media/usb";
    writeSettings(file, s, true);
    EXPECT_EQ(file.values.size(), 22u);
    EXPECT_EQ(file.values["Initial folder"].bytes, "/media/usb");
    EXPECT_EQ(file.values["B0"].number, 8);
    EXPECT_EQ(file.values.count("Use DirectSound"), 0u);

    MemorySettingsFile readOnly;
    readOnly.writable = false;
    writeSettings(readOnly, s, true);
    EXPECT_TRUE(readOnly.values.empty());
}

class IniSettingsFileTest : public ::testing::Test {
  protected:
    QString path() const { return QString::fromStdString((dir.path() / "spinora.ini").string()); }
    TempDir dir;
};

TEST_F(IniSettingsFileTest, ReadsAHandWrittenFile) {
    std::ofstream(path().toStdString()) << "[General]\n"
                                           "Use DirectSound=0\n"
                                           "Use two cards=1\n"
                                           "C4=77\n"
                                           "C5=4294967295\n"
                                           "C6=lots\n"
                                           "Sound card 1 GUID=HDA Intel PCH, ALC892 Analog\n"
                                           "Initial folder=@ByteArray(/home/dj/Music)\n";
    IniSettingsFile file(path());
    Settings s;
    EXPECT_EQ(readSettings(file, s), nullptr);
    EXPECT_FALSE(s.useDirectSound);
    EXPECT_TRUE(s.useTwoCards);
    EXPECT_TRUE(s.splitCueOutput);
    EXPECT_EQ(s.columnWidths[4], 77);
    EXPECT_EQ(s.columnWidths[5], -1);   // a 32-bit value as stored
    EXPECT_EQ(s.columnWidths[6], 200);  // not a number: the default
    EXPECT_EQ(s.soundCard1, "HDA Intel PCH, ALC892 Analog");
    EXPECT_EQ(s.initialFolder, "/home/dj/Music");
}

// A line QSettings cannot parse (a hand edit gone wrong) must not cost every other setting, the
// sound cards included, nor the next save.
TEST_F(IniSettingsFileTest, UnparsableLineLosesOnlyItself) {
    std::ofstream(path().toStdString()) << "[General]\n"
                                           "Use two cards=1\n"
                                           "C4=77\n"
                                           "[unclosed\n";
    IniSettingsFile file(path());
    Settings s;
    readSettings(file, s);
    EXPECT_TRUE(s.useTwoCards);
    EXPECT_EQ(s.columnWidths[4], 77);
    s.columnWidths[4] = 78;
    ASSERT_TRUE(writeSettings(file, s, true));
    Settings again;
    readSettings(file, again);
    EXPECT_TRUE(again.useTwoCards);
    EXPECT_EQ(again.columnWidths[4], 78);

    // QSettings reads the file again when it saves: the line it could not parse then is no
    // failure of the save.
    std::ofstream(path().toStdString()) << "[General]\nC4=77\n[unclosed\n";
    IniSettingsFile fresh(path());
    EXPECT_TRUE(writeSettings(fresh, s, true));
    readSettings(fresh, again);
    EXPECT_EQ(again.columnWidths[4], 78);
}

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
    std::ifstream in(path().toStdString());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left behind
    EXPECT_TRUE(writeSettings(file, s, true));
}

}  // namespace
