#pragma once

#include <string>
#include <system_error>
#include <vector>

// Playlist files as players write them. ".m3u": one path per line, '#' lines (#EXTM3U, #EXTINF)
// are comments. ".pls": a "[playlist]" section whose FileN= lines are the entries, in file order.
// Line ends may be CR, LF or both; a UTF-8 byte-order mark is skipped; a relative path is taken
// from the playlist's own folder and a file:// URL as the path it names.

// main: the entries' paths; an unreadable file gives none.
std::vector<std::string> readPlaylistEntries(const std::string& playlistPath);

// The first entry one line of an .m3u cannot hold (its name has a line break), or null.
// Thread: any.
const std::string* entryWithLineBreak(const std::vector<std::string>& entries);

// Writes the paths one per line, each ended by a line feed, replacing the file only once the
// whole list is on the disk. Returns no error, or why the file was left as it was
// (invalid_argument for an entry with a line break). Thread: main.
std::error_code writeM3u(const std::string& path, const std::vector<std::string>& entries);
