#include "platform/IniSettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <limits>

IniSettingsFile::IniSettingsFile(QString path) : path_(std::move(path)) {}

IniSettingsFile::~IniSettingsFile() = default;

bool IniSettingsFile::openForReading() {
    settings_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
    // A line QSettings cannot parse costs only itself: the values around it were read.
    return settings_->status() != QSettings::AccessError;
}

bool IniSettingsFile::openForWriting() {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    settings_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
    return settings_->isWritable();
}

std::optional<SettingValue> IniSettingsFile::value(const std::string& key) const {
    const QString name = QString::fromStdString(key);
    if (!settings_ || !settings_->contains(name)) {
        return std::nullopt;
    }
    const QVariant stored = settings_->value(name);
    SettingValue result;
    if (stored.typeId() == QMetaType::QByteArray) {
        result.kind = SettingValue::Kind::Bytes;
        result.bytes = stored.toByteArray().toStdString();
        return result;
    }
    // An unquoted value with commas reads as a list; its text is what the user wrote.
    const QString text = stored.typeId() == QMetaType::QStringList
                             ? stored.toStringList().join(QStringLiteral(", "))
                             : stored.toString();
    bool isNumber = false;
    const qlonglong number = text.trimmed().toLongLong(&isNumber);
    if (isNumber && number >= std::numeric_limits<int32_t>::min() &&
        number <= std::numeric_limits<uint32_t>::max()) {
        result.kind = SettingValue::Kind::Number;
        result.number = static_cast<int32_t>(static_cast<uint32_t>(number));
    } else {
        result.kind = SettingValue::Kind::Text;
        result.bytes = text.toStdString();
    }
    return result;
}

void IniSettingsFile::writeNumber(const std::string& key, int32_t value) {
    settings_->setValue(QString::fromStdString(key), value);
}

void IniSettingsFile::writeBytes(const std::string& key, const std::string& bytes) {
    settings_->setValue(QString::fromStdString(key), QByteArray::fromStdString(bytes));
}

bool IniSettingsFile::close() {
    if (!settings_) {
        return true;
    }
    settings_->sync();
    // A sync reads the file again first: a line it cannot parse there is reported too, yet the
    // values were written.
    const bool saved = settings_->status() != QSettings::AccessError;
    settings_.reset();
    return saved;
}
