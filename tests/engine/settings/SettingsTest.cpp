#include "engine/settings/Settings.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class MemorySettingsFile : public SettingsFile {
  public:
    bool openForReading() override { return true; }
    bool openForWriting() override { return true; }
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
        file.writeNumber("Use 3D card", c.card3d);
        file.writeNumber("Use two cards", c.twoCards);
        file.writeNumber("Use mix table", c.mixTable);
        file.writeNumber("Use DirectSound", c.directSound);
        const char* error = nullptr;
        const Settings s = read(file, &error);
        EXPECT_EQ(error != nullptr, c.invalid);
        EXPECT_EQ(s.splitCueOutput, c.splitCue);
    }
}

TEST(SettingsTest, LayoutAndTopFolderComeBackAndNothingElseIsWritten) {
    Settings s;
    s.columnWidths[2] = 60;
    s.bandWidths[0] = 8;
    s.useDirectSound = false;
    MemorySettingsFile file;
    ASSERT_TRUE(writeSettings(file, s, false));
    EXPECT_EQ(file.values.count("Initial folder"), 0u);  // the desktop
    EXPECT_EQ(file.values.count("B0"), 0u);              // no bands without their container

    s.initialFolder = "/media/usb";
    ASSERT_TRUE(writeSettings(file, s, true));
    const Settings back = read(file);
    EXPECT_EQ(back.columnWidths, s.columnWidths);
    EXPECT_EQ(back.bandWidths, s.bandWidths);
    EXPECT_EQ(back.initialFolder, s.initialFolder);
    EXPECT_TRUE(back.useDirectSound);  // the setup program's choices are never written
}

}  // namespace
