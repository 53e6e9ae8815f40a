#include "engine/library/FolderSource.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "core/Environment.h"
#include "engine/library/Sorting.h"

namespace fs = std::filesystem;

namespace {

constexpr auto kListing = fs::directory_options::skip_permission_denied;

bool hidden(const fs::path& path) {
    const std::string name = path.filename().string();
    return !name.empty() && name.front() == '.';
}

std::string lowerExtension(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return extension;
}

// Calls visit(path) for each subfolder, in no order, while it returns true.
template <class Visit>
void visitSubfolders(const fs::path& folder, Visit&& visit) {
    std::error_code error;
    for (fs::directory_iterator it(folder, kListing, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        if (!hidden(it->path()) && it->is_directory(typeError) && !visit(it->path())) {
            return;
        }
    }
}

}  // namespace

FileKind fileKindOf(const std::string& path) {
    const std::string extension = lowerExtension(path);
    if (extension == ".mp3") {
        return FileKind::kTrack;
    }
    if (extension == ".m3u" || extension == ".m3u8" || extension == ".pls") {
        return FileKind::kPlaylist;
    }
    return FileKind::kOther;
}

std::vector<FolderEntry> desktopFolders() {
    std::vector<FolderEntry> folders;
    std::error_code error;
    const std::string home = environmentVariable("HOME");
    if (!home.empty() && fs::is_directory(home, error)) {
        folders.push_back({"Home", home});
        const fs::path music = fs::path(home) / "Music";
        if (fs::is_directory(music, error)) {
            folders.push_back({"Music", music.string()});
        }
    }
    folders.push_back({"File System", "/"});
    const std::string user = environmentVariable("USER");
    std::vector<std::string> mountParents = {"/mnt"};
    if (!user.empty()) {
        mountParents.insert(mountParents.begin(), {"/media/" + user, "/run/media/" + user});
    }
    for (const std::string& parent : mountParents) {
        const std::vector<FolderEntry> mounts = subfolders(parent);
        folders.insert(folders.end(), mounts.begin(), mounts.end());
    }
    return folders;
}

std::vector<FolderEntry> subfolders(const std::string& folder) {
    std::vector<FolderEntry> found;
    visitSubfolders(folder, [&](const fs::path& path) {
        found.push_back({path.filename().string(), path.string()});
        return true;
    });
    std::sort(found.begin(), found.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return found;
}

bool hasSubfolders(const std::string& folder) {
    bool any = false;
    visitSubfolders(folder, [&](const fs::path&) {
        any = true;
        return false;
    });
    return any;
}

std::vector<PlayableFile> playableFiles(const std::string& folder) {
    std::vector<PlayableFile> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, kListing, error), end; !error && it != end;
         it.increment(error)) {
        const fs::path& link = it->path();
        if (hidden(link)) {
            continue;
        }
        std::error_code typeError;
        fs::path path = link;
        if (it->is_symlink(typeError)) {
            // Listed under the link's name, with the target's path and size.
            path = fs::canonical(link, typeError);
            if (typeError) {
                continue;
            }
        }
        if (!fs::is_regular_file(path, typeError)) {
            continue;
        }
        int64_t size;
        switch (fileKindOf(path)) {
            case FileKind::kTrack:
                size = static_cast<int64_t>(fs::file_size(path, typeError));
                if (typeError) {
                    size = 0;
                }
                break;
            case FileKind::kPlaylist:
                size = PlayableFile::kPlaylistSize;
                break;
            default:
                continue;
        }
        files.push_back({link.filename().string(), path.string(), size});
    }
    return files;
}

std::vector<std::string> droppedPlayables(const std::vector<std::string>& paths,
                                          std::vector<std::string>& ignored) {
    std::vector<std::string> playables;
    for (const std::string& path : paths) {
        std::error_code error;
        if (fs::is_directory(path, error)) {
            std::vector<PlayableFile> files = playableFiles(path);
            std::erase_if(files, [](const PlayableFile& file) {
                return file.size == PlayableFile::kPlaylistSize;
            });
            std::sort(files.begin(), files.end(),
                      [](const auto& a, const auto& b) { return compareText(a.name, b.name) < 0; });
            for (const PlayableFile& file : files) {
                playables.push_back(file.path);
            }
        } else if (fileKindOf(path) != FileKind::kOther && fs::is_regular_file(path, error)) {
            playables.push_back(path);
        } else {
            ignored.push_back(path);
        }
    }
    return playables;
}
