#include "engine/library/TrackItems.h"

#include <filesystem>

#include "engine/library/ArtistTitle.h"
#include "engine/library/FolderSource.h"
#include "engine/library/TrackRecords.h"

BrowserItem playlistFileItem(const std::string& path) {
    BrowserItem item;
    item.path = path;
    item.title = std::string(fileNameOf(path));
    item.kind = BrowserItem::kPlaylistFile;
    return item;
}

BrowserItem trackItem(const TrackRecords& records, const std::string& name, const std::string& path,
                      int64_t size) {
    TrackInfoRecord record{};
    records.lookupTrack(path, static_cast<int32_t>(static_cast<uint32_t>(size)), record);
    ArtistTitle names = splitArtistTitle(name);
    BrowserItem item;
    item.artist = std::move(names.artist);
    item.title = std::move(names.title);
    item.path = path;
    item.bpm = record.bpm;
    item.kind = record.dateStamp;
    return item;
}

BrowserItem itemForFile(const TrackRecords& records, const std::string& path) {
    if (fileKindOf(path) == FileKind::kPlaylist) {
        return playlistFileItem(path);
    }
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return trackItem(records, std::string(fileNameOf(path)), path,
                     error ? 0 : static_cast<int64_t>(size));
}

std::string databasePath(std::string_view line) {
    const std::size_t equals = line.find('=');
    return std::string(equals == std::string_view::npos ? line : line.substr(equals + 1));
}

BrowserItem databaseItem(std::string_view line) {
    BrowserItem item;
    item.path = databasePath(line);
    ArtistTitle names = splitArtistTitle(fileNameOf(item.path));
    item.artist = std::move(names.artist);
    item.title = std::move(names.title);
    return item;
}

bool nameItemFromTags(BrowserItem& item, const ArtistTitle& tags) {
    ArtistTitle names{item.artist, item.title};
    nameFromTags(names, tags);
    if (names.artist == item.artist && names.title == item.title) {
        return false;
    }
    item.artist = std::move(names.artist);
    item.title = std::move(names.title);
    return true;
}

int listImage(BrowserItem& item, bool played) {
    if (item.kind == BrowserItem::kPlaylistFile) {
        return 3;
    }
    if (played) {
        item.kind = BrowserItem::kPlayed;
        return 2;
    }
    return item.kind == BrowserItem::kUnknown ? 1 : 0;
}
