#include "engine/library/ArtistTitle.h"

#include <algorithm>
#include <cctype>

namespace {

std::string_view skipLeadingSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

std::string_view trimTrailingSpaces(std::string_view text) {
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

bool endsWithMp3(std::string_view text) {
    if (text.size() <= 4) {
        return false;
    }
    const std::string_view tail = text.substr(text.size() - 4);
    return std::equal(tail.begin(), tail.end(), ".mp3", [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

}  // namespace

ArtistTitle splitArtistTitle(std::string_view name) {
    std::string copy(name);
    std::replace(copy.begin(), copy.end(), '_', ' ');
    std::string_view text = skipLeadingSpaces(copy);
    if (endsWithMp3(text)) {
        text.remove_suffix(4);
    }
    ArtistTitle result;
    if (!text.empty() && text.front() == '(') {
        const std::string_view inside = text.substr(1);
        const auto close = inside.find(')');
        result.artist = trimTrailingSpaces(skipLeadingSpaces(inside.substr(0, close)));
        if (close != std::string_view::npos) {
            result.title = skipLeadingSpaces(inside.substr(close + 1));
        }
    } else if (const auto dash = text.find('-'); dash != std::string_view::npos) {
        result.artist = trimTrailingSpaces(text.substr(0, dash));
        result.title = skipLeadingSpaces(text.substr(dash + 1));
    } else {
        result.title = text;
    }
    return result;
}

std::size_t lastSeparatorOf(std::string_view path) {
    // find_last_of calls memchr once per character, a cost when sorting whole databases.
    const auto separator =
        std::find_if(path.rbegin(), path.rend(), [](char c) { return c == '/' || c == '\\'; });
    return separator == path.rend() ? std::string_view::npos
                                    : static_cast<std::size_t>(path.rend() - separator - 1);
}

std::string_view fileNameOf(std::string_view path) {
    const std::size_t separator = lastSeparatorOf(path);
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

void nameFromTags(ArtistTitle& shown, const ArtistTitle& tags) {
    if (!tags.title.empty()) {
        shown = tags;
    } else if (!tags.artist.empty()) {
        shown.artist = tags.artist;
    }
}
