#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/library/ArtistTitle.h"
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
// The track of a line of the track database: the path after its first '=' (the whole line
// without one), named from its file name; no BPM, no record.
BrowserItem databaseItem(std::string_view line);
// The path of a track database line.
std::string databasePath(std::string_view line);

// The tags read of a track, by its path; null when not known (yet).
using TagLookup = std::function<const ArtistTitle*(const std::string& path)>;
// A track's item shows the names its tags give (see nameFromTags); true when they changed.
bool nameItemFromTags(BrowserItem& item, const ArtistTitle& tags);

// The image of a list row (see ItemListModel); a played track becomes kPlayed.
int listImage(BrowserItem& item, bool played);
