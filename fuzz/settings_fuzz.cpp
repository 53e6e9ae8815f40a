// The settings file: whatever it holds, what the program writes back into it reads back the same.
#include "FuzzFiles.h"
#include "engine/settings/Settings.h"
#include "platform/IniSettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    IniSettingsFile file(QString::fromStdString(writeFuzzFile("Spinora.ini", data, size)));
    Settings settings;
    const char* invalid = readSettings(file, settings);

    // The file was read whole: any key may now be asked for, of any kind.
    file.openForReading();
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
