#include "platform/Paths.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <optional>

#include "core/Environment.h"

namespace {

// An environment variable that is unset or empty counts as absent.
std::optional<std::filesystem::path> fromEnvironment(const char* name) {
    const std::string value = environmentVariable(name);
    if (value.empty()) {
        return std::nullopt;
    }
    return std::filesystem::path(value);
}

std::filesystem::path homeFolder() {
    if (auto home = fromEnvironment("HOME")) {
        return *home;
    }
    passwd record{};
    passwd* entry = nullptr;
    std::array<char, 4096> buffer{};
    if (getpwuid_r(getuid(), &record, buffer.data(), buffer.size(), &entry) == 0 &&
        entry != nullptr && entry->pw_dir != nullptr) {
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

std::string enterDataFolder() {
    const std::filesystem::path folder = dataFolder();
    std::error_code error;
    if (std::filesystem::exists(folder, error) && !std::filesystem::is_directory(folder, error)) {
        return "The data folder " + folder.string() + " is not a folder.";
    }
    std::filesystem::create_directories(folder, error);
    if (!error) {
        std::filesystem::current_path(folder, error);
    }
    if (error) {
        return "The data folder " + folder.string() + " cannot be made: " + error.message() + ".";
    }
    return {};
}

std::vector<std::filesystem::path> lockFolders() {
    std::vector<std::filesystem::path> folders;
    if (auto runtime = fromEnvironment("XDG_RUNTIME_DIR")) {
        folders.push_back(*runtime);
    }
    folders.push_back(fromEnvironment("TMPDIR").value_or("/tmp"));
    return folders;
}
