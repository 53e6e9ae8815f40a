#include "engine/library/TrackDatabase.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "engine/library/ArtistTitle.h"

namespace {

constexpr std::size_t kSearchTextLength = 255;

char folded(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool TrackDatabase::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    buffer_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    lines_.clear();
    std::size_t start = 0;
    while (start < buffer_.size()) {
        const std::size_t end = std::min(buffer_.find_first_of("\r\n", start), buffer_.size());
        if (end > start) {
            lines_.emplace_back(buffer_.data() + start, end - start);
        }
        start = end + 1;
    }
    present_ = true;
    return true;
}

std::vector<std::string_view> TrackDatabase::search(std::string_view text) const {
    std::vector<std::string_view> found;
    for (auto line = lines_.rbegin(); line != lines_.rend(); ++line) {
        if (lineMatches(*line, text)) {
            found.push_back(*line);
        }
    }
    return found;
}

bool lineMatches(std::string_view line, std::string_view text) {
    if (text.empty()) {
        return true;
    }
    return std::search(line.begin(), line.end(), text.begin(), text.end(),
                       [](char a, char b) { return folded(a) == b; }) != line.end();
}

std::string databaseColumnText(std::string_view line, int column) {
    const std::size_t equals = line.find('=');
    const std::string_view disc =
        equals == std::string_view::npos ? std::string_view{} : line.substr(0, equals);
    const std::string_view path = equals == std::string_view::npos ? line : line.substr(equals + 1);
    const std::size_t separator = path.find_last_of("\\/");
    switch (column) {
        case 0:
            return splitArtistTitle(fileNameOf(path)).title;
        case 1:
            return splitArtistTitle(fileNameOf(path)).artist;
        case 2:
            return std::string(disc);
        default:
            return separator == std::string_view::npos ? std::string()
                                                       : std::string(path.substr(0, separator));
    }
}

std::string searchText(std::string_view typed) {
    std::string text(typed.substr(0, std::min(typed.size(), kSearchTextLength)));
    std::transform(text.begin(), text.end(), text.begin(), folded);
    return text;
}
