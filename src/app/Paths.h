#pragma once

#include <filesystem>

// Where Spinora keeps its files, after the XDG conventions.

// "Spinora.idb" and "mp3DataBase.txt": $SPINORA_HOME, else $XDG_DATA_HOME/spinora, else
// ~/.local/share/spinora.
std::filesystem::path dataFolder();

// $XDG_CONFIG_HOME/spinora/spinora.ini, else ~/.config/spinora/spinora.ini.
std::filesystem::path settingsFilePath();

// $XDG_RUNTIME_DIR, else the temporary folder: where the single-instance lock lives.
std::filesystem::path runtimeFolder();
