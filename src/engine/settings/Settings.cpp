#include "engine/settings/Settings.h"

#include <optional>

namespace {

using Kind = SettingValue::Kind;

constexpr int kSearchColumnsFirst = 12;
constexpr std::array<int32_t, 4> kSearchColumnDefaults = {251, 149, 50, 248};
// Wider than any list can be, even scaled to a large screen: a larger stored width is damage.
constexpr int32_t kLargestListWidth = 4096;

// "C0" to "C15", "B0" to "B4".
std::string indexedKey(char letter, int index) {
    std::string key(1, letter);
    key += std::to_string(index);
    return key;
}

std::optional<int32_t> number(const SettingsFile& file, const std::string& key) {
    const auto value = file.value(key);
    if (!value || value->kind != Kind::Number) {
        return std::nullopt;
    }
    return value->number;
}

// A width of a column or band, kept when it can be one.
void readWidth(const SettingsFile& file, const std::string& key, int32_t& width) {
    const std::optional<int32_t> stored = number(file, key);
    if (stored && *stored >= 0 && *stored <= kLargestListWidth) {
        width = *stored;
    }
}

// A device is named by text; bytes are taken as its name too.
void readDeviceName(const SettingsFile& file, const std::string& key, std::string& name) {
    const auto value = file.value(key);
    if (value && value->kind != Kind::Number) {
        name = value->bytes;
    }
}

void readValues(const SettingsFile& file, Settings& s) {
    s.optimizedBeatDetection = number(file, "Optimized beat detection").value_or(1);
    s.useDirectSound = number(file, "Use DirectSound").value_or(1) != 0;
    s.useDirectDraw = number(file, "Use DirectDraw").value_or(1) != 0;
    s.use3dCard = number(file, "Use 3D card").value_or(0) != 0;
    s.useTwoCards = number(file, "Use two cards").value_or(0) != 0;
    s.useMixTable = number(file, "Use mix table").value_or(0) != 0;
    s.swap3dOutput = number(file, "Swap 3D output") == 0;
    readDeviceName(file, "Sound card GUID", s.soundCard);
    readDeviceName(file, "Sound card 1 GUID", s.soundCard1);
    readDeviceName(file, "Sound card 2 GUID", s.soundCard2);
    if (const auto folder = file.value("Initial folder"); folder && folder->kind == Kind::Bytes) {
        s.initialFolder = folder->bytes;
    }
    for (int i = 0; i < kColumnWidthCount; ++i) {
        readWidth(file, indexedKey('C', i), s.columnWidths[i]);
    }
    for (int i = 0; i < kBandWidthCount; ++i) {
        readWidth(file, indexedKey('B', i), s.bandWidths[i]);
    }
    s.coolColor = number(file, "Cool Color").value_or(1) != 0;

    // Search columns all zero cannot be used: they come back at their defaults.
    bool allZero = true;
    for (std::size_t i = 0; i < kSearchColumnDefaults.size(); ++i) {
        allZero = allZero && s.columnWidths[kSearchColumnsFirst + i] == 0;
    }
    if (allZero) {
        for (std::size_t i = 0; i < kSearchColumnDefaults.size(); ++i) {
            s.columnWidths[kSearchColumnsFirst + i] = kSearchColumnDefaults[i];
        }
    }
}

}  // namespace

const char* readSettings(SettingsFile& file, Settings& settings) {
    settings = Settings{};
    if (file.openForReading()) {
        readValues(file, settings);
        file.close();
    }
    const bool invalid = (settings.use3dCard && settings.useTwoCards) ||
                         (settings.use3dCard && !settings.useDirectSound) ||
                         (settings.useMixTable && !settings.use3dCard && !settings.useTwoCards);
    settings.splitCueOutput = !settings.useMixTable && (settings.use3dCard || settings.useTwoCards);
    return invalid ? kInvalidConfigurationMessage : nullptr;
}

bool writeSettings(SettingsFile& file, const Settings& settings, bool bandWidthsAvailable) {
    if (!file.openForWriting()) {
        return false;
    }
    if (!settings.initialFolder.empty()) {
        file.writeBytes("Initial folder", settings.initialFolder);
    }
    for (int i = 0; i < kColumnWidthCount; ++i) {
        file.writeNumber(indexedKey('C', i), settings.columnWidths[i]);
    }
    if (bandWidthsAvailable) {
        for (int i = 0; i < kBandWidthCount; ++i) {
            file.writeNumber(indexedKey('B', i), settings.bandWidths[i]);
        }
    }
    return file.close();
}
