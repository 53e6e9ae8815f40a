// The track database: every search result is a line of the file holding the words, and a word of
// plain ASCII is found wherever the line holds it.
#include <algorithm>
#include <set>

#include "FuzzFiles.h"
#include "engine/library/TextFolding.h"
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

// Whether a line holds the text, letters a to z matched in either case: what a one-word search
// always found.
bool holdsIgnoringAsciiCase(std::string_view line, std::string_view text) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::search(line.begin(), line.end(), text.begin(), text.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != line.end();
}

}  // namespace

// The input: a line of search text, then the database file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = std::min(input.find('\n'), input.size());
    const std::string_view typed = input.substr(0, newline);
    const std::vector<std::string> words = searchWords(typed);
    const std::string_view file = input.substr(std::min(newline + 1, input.size()));
    const std::string text = isUtf8(file) ? std::string(file) : utf8FromCp1252(file);

    TrackDatabase database;
    FUZZ_CHECK(database.load(writeFuzzFile("mp3DataBase.txt", file)));
    const std::multiset<std::string_view> lines = linesOf(text);
    FUZZ_CHECK(database.lineCount() == lines.size());

    std::vector<std::string_view> found = database.search(words);
    std::multiset<std::string_view> unused = lines;
    for (std::string_view line : found) {
        const auto match = unused.find(line);
        FUZZ_CHECK(match != unused.end());
        unused.erase(match);
        FUZZ_CHECK(lineMatches(foldedForSearch(line), words));
    }
    const bool oneWord = words.size() == 1 && std::all_of(typed.begin(), typed.end(), [](char c) {
                             return c > ' ' && static_cast<unsigned char>(c) < 0x80;
                         });
    for (std::string_view line : unused) {
        FUZZ_CHECK(!lineMatches(foldedForSearch(line), words));
        FUZZ_CHECK(!oneWord || !holdsIgnoringAsciiCase(line, typed));
    }

    return 0;
}
