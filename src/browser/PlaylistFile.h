#pragma once

#include <string>
#include <vector>

// Playlist files as players write them. ".m3u": one path per line, '#' lines (#EXTM3U, #EXTINF)
// are comments. ".pls": a "[playlist]" section whose FileN= lines are the entries, in file order.
// Line ends may be CR, LF or both; a UTF-8 byte-order mark is skipped; a relative path is taken
// from the playlist's own folder and a file:// URL as the path it names.

// The entries' paths; an unreadable file gives none.
std::vector<std::string> readPlaylistEntries(const std::string& playlistPath);

// Writes the paths one per line, each ended by a line feed; false when the file cannot be made.
bool writeM3u(const std::string& path, const std::vector<std::string>& entries);
