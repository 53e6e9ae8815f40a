#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Where Spinora keeps its files, after the XDG conventions.

// "Spinora.idb", "mp3DataBase.txt" and "playlist.m3u8": $SPINORA_HOME, else
// $XDG_DATA_HOME/spinora, else ~/.local/share/spinora.
std::filesystem::path dataFolder();

// $XDG_CONFIG_HOME/spinora/spinora.ini, else ~/.config/spinora/spinora.ini.
std::filesystem::path settingsFilePath();

// Makes the data folder when it is missing and works in it. Returns an empty string, or why it
// cannot be used (it names a file, or cannot be made). Thread: main.
std::string enterDataFolder();

// Where the single-instance lock may live, in the order to try: $XDG_RUNTIME_DIR when set, then
// the temporary folder ($TMPDIR, else /tmp).
std::vector<std::filesystem::path> lockFolders();
