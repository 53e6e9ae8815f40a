#include "app/ToolStore.h"

#include <QString>
#include <filesystem>

#include "engine/settings/Settings.h"
#include "platform/IniSettingsFile.h"
#include "platform/Paths.h"

namespace fs = std::filesystem;

ToolStore::ToolStore(std::string tool, bool keep) : tool_(std::move(tool)), keep_(keep) {}

bool ToolStore::open(std::ostream& err) {
    Settings settings;
    IniSettingsFile settingsFile(QString::fromStdString(settingsFilePath().string()));
    readSettings(settingsFile, settings);  // only the detector choice matters here
    optimizedDetection_ = settings.optimizedBeatDetection;
    if (keep_ && !lock_.tryLock()) {
        if (lock_.heldElsewhere()) {
            err << tool_
                << ": Spinora is running. Quit it before using --store: it rewrites Spinora.idb "
                   "while it runs.\n";
        } else {
            err << tool_ << ": " << lock_.failure() << ", so --store cannot be used.\n";
        }
        return false;
    }
    const fs::path file = dataFolder() / TrackInfoStore::kFileName;
    store_.emplace(file, optimizedDetection_, todayDateStamp());
    std::error_code error;
    if (keep_) {
        fs::create_directories(dataFolder(), error);
    }
    // A load creates a missing store: only one that is kept may be.
    if (keep_ || fs::exists(file, error)) {
        store_->load();
    }
    return true;
}

bool ToolStore::save(std::ostream& err) {
    if (keep_ && !store_->save()) {
        err << tool_ << ": could not write " << store_->file().string() << "\n";
        return false;
    }
    return true;
}
