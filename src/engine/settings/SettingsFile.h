#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One stored setting as the settings file gives it back.
struct SettingValue {
    enum class Kind { Number, Bytes, Text };
    Kind kind = Kind::Number;
    int32_t number = 0;  // a whole number of 32 bits, signed or not, as stored
    std::string bytes;   // Bytes and Text
};

// Where the settings live between runs. The rules of reading and writing them do not depend on
// it, so they can be tested on a file kept in memory. Main thread only.
class SettingsFile {
  public:
    virtual ~SettingsFile() = default;
    virtual bool openForReading() = 0;
    virtual bool openForWriting() = 0;
    virtual std::optional<SettingValue> value(const std::string& key) const = 0;
    virtual void writeNumber(const std::string& key, int32_t value) = 0;
    virtual void writeBytes(const std::string& key, const std::string& bytes) = 0;
    // False when what was written could not be saved (the file is then as it was).
    virtual bool close() = 0;
};
