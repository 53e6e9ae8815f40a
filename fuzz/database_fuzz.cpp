// The track database: every search result is a line of the file holding the text, and every
// column sort is a consistent order.
#include <algorithm>
#include <set>

#include "FuzzFiles.h"
#include "engine/library/Sorting.h"
#include "engine/library/TrackDatabase.h"

namespace {

// The file's non-empty lines, split apart from the reader.
std::multiset<std::string_view> linesOf(std::string_view text) {
    std::multiset<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
            if (i > start) {
                lines.insert(text.substr(start, i - start));
            }
            start = i + 1;
        }
    }
    return lines;
}

bool holdsIgnoringCase(std::string_view line, std::string_view upperText) {
    std::string upper(line);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return upper.find(upperText) != std::string::npos;
}

int sign(int value) {
    return (value > 0) - (value < 0);
}

}  // namespace

// The input: a line of search text, then the database file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = std::min(input.find('\n'), input.size());
    const std::string text = searchText(input.substr(0, newline));
    const std::string_view file = input.substr(std::min(newline + 1, input.size()));

    TrackDatabase database;
    FUZZ_CHECK(database.load(writeFuzzFile("mp3DataBase.txt", file)));
    const std::multiset<std::string_view> lines = linesOf(file);
    FUZZ_CHECK(database.lineCount() == lines.size());

    std::vector<std::string_view> found = database.search(text);
    std::multiset<std::string_view> unused = lines;
    for (std::string_view line : found) {
        const auto match = unused.find(line);
        FUZZ_CHECK(match != unused.end());
        unused.erase(match);
        FUZZ_CHECK(holdsIgnoringCase(line, text));
    }
    for (std::string_view line : unused) {
        FUZZ_CHECK(!holdsIgnoringCase(line, text));
    }

    found.resize(std::min<std::size_t>(found.size(), 16));  // the pairs below grow as its square
    for (int key : {0, 1, 2, 3, 8, 9, 10, 11}) {
        for (std::string_view a : found) {
            FUZZ_CHECK(compareLines(a, a, key) == 0);
            for (std::string_view b : found) {
                FUZZ_CHECK(sign(compareLines(a, b, key)) == -sign(compareLines(b, a, key)));
            }
        }
        std::vector<std::string_view> sorted = found;
        std::stable_sort(
            sorted.begin(), sorted.end(),
            [key](std::string_view a, std::string_view b) { return compareLines(a, b, key) < 0; });
        for (std::size_t i = 1; i < sorted.size(); ++i) {
            FUZZ_CHECK(compareLines(sorted[i - 1], sorted[i], key) <= 0);
        }
    }
    return 0;
}
