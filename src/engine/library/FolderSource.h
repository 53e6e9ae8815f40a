#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The folders and files the browser shows, from the file system. Hidden entries (a leading '.')
// are never listed. What reads the file system runs on the main thread.

struct FolderEntry {
    std::string name;
    std::string path;
};

struct PlayableFile {
    static constexpr int64_t kPlaylistSize = -1;

    std::string name;  // as listed: a symbolic link keeps its own name
    std::string path;  // a symbolic link gives its target's
    int64_t size;      // bytes, or kPlaylistSize for a playlist file
};

enum class FileKind { kOther, kTrack, kPlaylist };

// By the extension, in any case: ".mp3" is a track; ".m3u", ".m3u8" and ".pls" are playlist files.
// Any thread.
FileKind fileKindOf(const std::string& path);

// The children of the desktop: the home folder, the user's Music folder where it exists, "/" as
// "File System", and the mount points of removable media that exist.
std::vector<FolderEntry> desktopFolders();

// The subfolders of a folder, by name.
std::vector<FolderEntry> subfolders(const std::string& folder);
bool hasSubfolders(const std::string& folder);

// The folder's tracks and playlist files, and symbolic links to such files.
std::vector<PlayableFile> playableFiles(const std::string& folder);

// What a drop of these paths from the desktop brings, in their order: tracks and playlist files
// as they are, a folder's tracks in name order. The paths of anything else go to ignored.
// Main thread (it reads the folders).
std::vector<std::string> droppedPlayables(const std::vector<std::string>& paths,
                                          std::vector<std::string>& ignored);
