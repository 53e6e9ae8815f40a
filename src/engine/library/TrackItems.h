#pragma once

#include <cstdint>
#include <string>

#include "engine/library/BrowserItem.h"

class TrackRecords;

// The list entries of files: main thread only.

// A playlist file, titled with its file name.
BrowserItem playlistFileItem(const std::string& path);
// A track, its artist and title split from the file name; size in bytes.
BrowserItem trackItem(const TrackRecords& records, const std::string& name, const std::string& path,
                      int64_t size);
// The item of a file dropped from the desktop: a playlist file or a track.
BrowserItem itemForFile(const TrackRecords& records, const std::string& path);

// The image of a list row (see ItemListModel); a played track becomes kPlayed.
int listImage(BrowserItem& item, bool played);
