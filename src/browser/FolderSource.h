#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The folders and files the browser shows, from the file system. Hidden entries (a leading '.')
// are never listed.

struct FolderEntry {
    std::string name;
    std::string path;
};

struct PlayableFile {
    static constexpr int64_t kPlaylistSize = -1;

    std::string name;  // as listed: a symbolic link keeps its own name
    std::string path;  // a symbolic link gives its target's
    int64_t size;      // bytes, or kPlaylistSize for a ".m3u" or ".pls" file
};

// The children of the desktop: the home folder, the user's Music folder where it exists, "/" as
// "File System", and the mount points of removable media that exist.
std::vector<FolderEntry> desktopFolders();

// The subfolders of a folder, by name.
std::vector<FolderEntry> subfolders(const std::string& folder);
bool hasSubfolders(const std::string& folder);

// The folder's ".mp3", ".pls" and ".m3u" files (any case), and symbolic links to such files.
std::vector<PlayableFile> playableFiles(const std::string& folder);
