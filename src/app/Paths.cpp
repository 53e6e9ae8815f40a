#include "app/Paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

namespace {

// An environment variable that is unset or empty counts as absent.
std::optional<std::filesystem::path> fromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::filesystem::path(value);
}

std::filesystem::path homeFolder() {
    if (auto home = fromEnvironment("HOME")) {
        return *home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return std::filesystem::temp_directory_path();
}

}  // namespace

std::filesystem::path dataFolder() {
    if (auto home = fromEnvironment("SPINORA_HOME")) {
        return *home;
    }
    if (auto data = fromEnvironment("XDG_DATA_HOME")) {
        return *data / "spinora";
    }
    return homeFolder() / ".local" / "share" / "spinora";
}

std::filesystem::path settingsFilePath() {
    const auto config = fromEnvironment("XDG_CONFIG_HOME").value_or(homeFolder() / ".config");
    return config / "spinora" / "spinora.ini";
}

std::filesystem::path runtimeFolder() {
    return fromEnvironment("XDG_RUNTIME_DIR").value_or(std::filesystem::temp_directory_path());
}
