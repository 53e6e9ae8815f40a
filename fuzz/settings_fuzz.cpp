// The settings file: whatever it holds, what the program writes back into it reads back the same.
#include <chrono>
#include <filesystem>

#include "FuzzFiles.h"
#include "engine/settings/Settings.h"
#include "platform/IniSettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // QSettings keeps what it parsed of a file for as long as its size and time are unchanged:
    // each input gets a time of its own, as if each were the first file the program reads.
    static const auto past =
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(9000);
    static int count = 0;
    const std::string path = writeFuzzFile("Spinora.ini", data, size);
    std::filesystem::last_write_time(path, past + std::chrono::seconds(++count));
    IniSettingsFile file(QString::fromStdString(path));
    Settings settings;
    const char* invalid = readSettings(file, settings);

    // The file was read whole: any key may now be asked for, of any kind.
    FUZZ_CHECK(file.openForReading());
    for (const char* key : {"C0", "B4", "Initial folder", "Sound card GUID", "General/C1", ""}) {
        if (const auto value = file.value(key);
            value && value->kind == SettingValue::Kind::Number) {
            FUZZ_CHECK(value->bytes.empty());
        }
    }
    file.close();

    FUZZ_CHECK(writeSettings(file, settings, true));
    Settings again;
    FUZZ_CHECK(readSettings(file, again) == invalid);
    FUZZ_CHECK(again.columnWidths == settings.columnWidths);
    FUZZ_CHECK(again.bandWidths == settings.bandWidths);
    FUZZ_CHECK(again.initialFolder == settings.initialFolder);
    return 0;
}
