#pragma once

#include <cstdint>
#include <string>

// One entry of the file list, the playlist or the history, and what is dragged and loaded.
struct BrowserItem {
    // kind: a playlist file, a track already played in this run, a track without an info record;
    // a positive kind is the date stamp of the track's record.
    static constexpr int32_t kPlaylistFile = -2;
    static constexpr int32_t kPlayed = -1;
    static constexpr int32_t kUnknown = 0;

    std::string artist;
    std::string title;
    std::string path;
    float bpm = 0.0f;  // the record's global BPM, 0 when not measured
    int32_t kind = kUnknown;
};
