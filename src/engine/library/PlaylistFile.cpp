#include "engine/library/PlaylistFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/AtomicFile.h"

namespace fs = std::filesystem;

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

// "File1" to "FileN", whatever the case.
bool isFileKey(std::string_view key) {
    return key.size() > 4 && startsWithNoCase(key, "file") &&
           std::all_of(key.begin() + 4, key.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

std::string percentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string resolved(std::string entry, const fs::path& folder) {
    if (startsWithNoCase(entry, "file://")) {
        std::string_view rest = std::string_view(entry).substr(7);
        rest = rest.substr(std::min(rest.find('/'), rest.size()));  // drop a host name
        return percentDecoded(rest);
    }
    // A playlist written on another system may use '\' for its folders.
    if (entry.find('/') == std::string::npos) {
        std::replace(entry.begin(), entry.end(), '\\', '/');
    }
    const fs::path path(entry);
    return path.is_absolute() ? entry : (folder / path).lexically_normal().string();
}

}  // namespace

std::vector<std::string> readPlaylistEntries(const std::string& playlistPath) {
    std::error_code error;
    if (fs::is_directory(playlistPath, error)) {
        return {};  // a stream opens a folder, then throws on the first read
    }
    std::ifstream in(playlistPath, std::ios::binary);
    if (!in) {
        return {};
    }
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        text.erase(0, 3);
    }
    const fs::path folder = fs::path(playlistPath).parent_path();
    std::vector<std::string> entries;
    // A file:// URL with a host and no path names no file.
    const auto add = [&](std::string_view entry) {
        if (std::string path = resolved(std::string(entry), folder); !path.empty()) {
            entries.push_back(std::move(path));
        }
    };
    bool inSection = false;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const std::string_view line = std::string_view(text).substr(start, end - start);
        start = end + 1;
        if (line.empty()) {
            continue;
        }
        if (line.size() == 10 && startsWithNoCase(line, "[playlist]")) {
            inSection = true;
        } else if (inSection) {
            const std::size_t equals = line.find('=');
            if (equals != std::string_view::npos && equals + 1 < line.size() &&
                isFileKey(line.substr(0, equals))) {
                add(line.substr(equals + 1));
            }
        } else if (line.front() != '#') {
            add(line);
        }
    }
    return entries;
}

const std::string* entryWithLineBreak(const std::vector<std::string>& entries) {
    const auto found = std::find_if(entries.begin(), entries.end(), [](const std::string& entry) {
        return entry.find_first_of("\r\n") != std::string::npos;
    });
    return found == entries.end() ? nullptr : &*found;
}

std::error_code writeM3u(const std::string& path, const std::vector<std::string>& entries) {
    if (entryWithLineBreak(entries) != nullptr) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    std::string text;
    for (const std::string& entry : entries) {
        text += entry;
        text += '\n';
    }
    return writeFileAtomically(path, text);
}
