#pragma once

#include <QSettings>
#include <QString>
#include <memory>

#include "engine/settings/SettingsFile.h"

// The settings in an INI file through QSettings. A whole number is a number, "@ByteArray(...)"
// is bytes, anything else text. QSettings writes the file through a temporary file renamed over
// it, so a failed write leaves the old file whole.
class IniSettingsFile : public SettingsFile {
  public:
    explicit IniSettingsFile(QString path);
    ~IniSettingsFile() override;

    bool openForReading() override;
    bool openForWriting() override;
    std::optional<SettingValue> value(const std::string& key) const override;
    void writeNumber(const std::string& key, int32_t value) override;
    void writeBytes(const std::string& key, const std::string& bytes) override;
    bool close() override;

  private:
    QString path_;
    std::unique_ptr<QSettings> settings_;
};
