#include "engine/mix/TrackDrop.h"

void TrackDrop::drop(std::vector<BrowserItem> items, int target, int index) {
    std::size_t next = 0;
    if (target >= 0 && !items.empty()) {
        index = loadOrExpand(target, items[next++], index, true);
        const bool firstWasPlaylist = items.front().kind == BrowserItem::kPlaylistFile;
        if (!firstWasPlaylist && next < items.size() && port_.deckIsFree(1 - target)) {
            index = loadOrExpand(1 - target, items[next++], index, false);
        }
    }
    for (; next < items.size(); ++next) {
        port_.insertIntoPlaylist(index++, std::move(items[next]));
    }
}

int TrackDrop::freeDeck(int selected) const {
    if (port_.deckIsFree(selected)) {
        return selected;
    }
    return port_.deckIsFree(1 - selected) ? 1 - selected : -1;
}

int TrackDrop::loadOrExpand(int deck, const BrowserItem& item, int index, bool askIfLoud) {
    if (item.kind == BrowserItem::kPlaylistFile) {
        std::vector<BrowserItem> entries = port_.playlistEntries(item.path);
        std::size_t next = 0;
        if (next < entries.size()) {
            port_.load(deck, entries[next++]);
        }
        if (next < entries.size() && port_.deckIsFree(1 - deck)) {
            port_.load(1 - deck, entries[next++]);
        }
        for (; next < entries.size(); ++next) {
            port_.insertIntoPlaylist(index++, std::move(entries[next]));
        }
        return index;
    }
    if (!askIfLoud || !port_.loudlyPlaying(deck) || port_.confirmLoadOverMusic()) {
        port_.load(deck, item);
    }
    return index;
}
