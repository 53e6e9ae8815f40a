#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/settings/SettingsFile.h"
#include "engine/sound/SoundConfig.h"

inline constexpr int kColumnWidthCount = 16;
inline constexpr int kBandWidthCount = 5;

inline constexpr const char* kInvalidConfigurationMessage =
    "Actual configuration is invalid ! Please execute the setup program.";

// The values read once at start-up. The hardware choices come from the setup program; the program
// itself writes back only the browser's layout and top folder.
// The sound part is what the sound system is given.
struct Settings : SoundConfig {
    int32_t optimizedBeatDetection = 1;  // as stored; the adaptive detector runs unless 0
    bool useDirectDraw = true;
    std::string initialFolder;  // absolute path of the browser's top folder; empty is the desktop
    std::array<int32_t, kColumnWidthCount> columnWidths = {241, 191, 46,  150, 49,  0,   200, 149,
                                                           0,   400, 299, 0,   251, 149, 50,  248};
    std::array<int32_t, kBandWidthCount> bandWidths = {204, 491, 109, 211, 361};
    bool coolColor = true;
};

// main, at start-up: reads every value the file holds, leaving the default for one that is missing
// or of the wrong kind. Returns the start-up error message of an impossible sound configuration, or
// null.
const char* readSettings(SettingsFile& file, Settings& settings);

// main: writes back the top folder (unless it is the desktop), the column widths, and the band
// widths when the band container was available. False when the file could not be written.
bool writeSettings(SettingsFile& file, const Settings& settings, bool bandWidthsAvailable);
