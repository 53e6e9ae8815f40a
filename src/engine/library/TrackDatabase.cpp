#include "engine/library/TrackDatabase.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

#include "engine/library/ArtistTitle.h"
#include "engine/library/TextFolding.h"

bool TrackDatabase::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    buffer_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!isUtf8(buffer_)) {
        buffer_ = utf8FromCp1252(buffer_);
    }
    lines_.clear();
    folded_.clear();
    std::vector<std::pair<std::size_t, std::size_t>> foldedSpans;
    std::size_t start = 0;
    while (start < buffer_.size()) {
        const std::size_t end = std::min(buffer_.find_first_of("\r\n", start), buffer_.size());
        if (end > start) {
            lines_.emplace_back(buffer_.data() + start, end - start);
            const std::size_t foldedStart = folded_.size();
            folded_ += foldedForSearch(lines_.back());
            foldedSpans.emplace_back(foldedStart, folded_.size() - foldedStart);
        }
        start = end + 1;
    }
    foldedLines_.clear();
    foldedLines_.reserve(foldedSpans.size());
    for (const auto& [offset, length] : foldedSpans) {
        foldedLines_.emplace_back(folded_.data() + offset, length);
    }
    present_ = true;
    return true;
}

std::vector<std::string_view> TrackDatabase::search(const std::vector<std::string>& words) const {
    std::vector<std::string_view> found;
    for (std::size_t line = lines_.size(); line-- > 0;) {
        if (lineMatches(foldedLines_[line], words)) {
            found.push_back(lines_[line]);
        }
    }
    return found;
}

std::vector<std::string> searchWords(std::string_view typed) {
    const std::string folded = foldedForSearch(typed);
    std::vector<std::string> words;
    constexpr std::string_view kSpaces = " \t\r\n";
    std::size_t start = folded.find_first_not_of(kSpaces);
    while (start != std::string::npos) {
        const std::size_t end = std::min(folded.find_first_of(kSpaces, start), folded.size());
        words.push_back(folded.substr(start, end - start));
        start = folded.find_first_not_of(kSpaces, end);
    }
    return words;
}

bool lineMatches(std::string_view foldedLine, const std::vector<std::string>& words) {
    return std::all_of(words.begin(), words.end(), [foldedLine](const std::string& word) {
        return foldedLine.find(word) != std::string_view::npos;
    });
}

std::string databaseLine(std::string_view disc, std::string_view path) {
    if (!isUtf8(path) || !isUtf8(disc) || path.find_first_of("\r\n") != std::string_view::npos) {
        return {};
    }
    std::string line(disc);
    std::replace(line.begin(), line.end(), '=', '-');
    std::replace(line.begin(), line.end(), '\r', ' ');
    std::replace(line.begin(), line.end(), '\n', ' ');
    line += '=';
    line += path;
    return line;
}

std::string databaseColumnText(std::string_view line, int column) {
    const std::size_t equals = line.find('=');
    const std::string_view disc =
        equals == std::string_view::npos ? std::string_view{} : line.substr(0, equals);
    const std::string_view path = equals == std::string_view::npos ? line : line.substr(equals + 1);
    const std::size_t separator = lastSeparatorOf(path);
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
