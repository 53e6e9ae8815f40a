#pragma once

#include <string>
#include <string_view>

// Pure functions: any thread.
struct ArtistTitle {
    std::string artist;
    std::string title;
};

// Artist and title from a file name: "Artist - Title.mp3" or "(Artist) Title.mp3"; underscores
// read as spaces; without either form the whole name is the title.
ArtistTitle splitArtistTitle(std::string_view name);

// Where a path's last folder separator ('/' or '\') is; npos when it has none.
std::size_t lastSeparatorOf(std::string_view path);

// The part of a path after its last folder separator.
std::string_view fileNameOf(std::string_view path);

// The names a track shows once its tags are read: the tags' where they give a title, else the
// file name's title with the tags' artist when there is one.
void nameFromTags(ArtistTitle& shown, const ArtistTitle& tags);
