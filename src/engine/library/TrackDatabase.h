#pragma once

#include <string>
#include <string_view>
#include <vector>

// "mp3DataBase.txt": one line per track, "disc=path", read once and searched in place. Line ends
// may be CR, LF or both; empty lines are skipped. Main thread only; the free functions are pure
// (any thread).
class TrackDatabase {
  public:
    // False (and the database stays absent) when the file cannot be read.
    bool load(const std::string& path);
    bool present() const { return present_; }

    // The lines that contain text, letters compared without regard to case (text is upper
    // case), last line of the file first. An empty text matches every line.
    std::vector<std::string_view> search(std::string_view text) const;

    std::size_t lineCount() const { return lines_.size(); }

  private:
    bool present_ = false;
    std::string buffer_;
    std::vector<std::string_view> lines_;
};

// Whether the line holds text (already upper case), folding the line's a to z.
bool lineMatches(std::string_view line, std::string_view text);

// Column 0 title, 1 artist (from the file name), 2 the disc, 3 the path's folder.
std::string databaseColumnText(std::string_view line, int column);

// The search text as stored: at most 255 characters, a to z in upper case.
std::string searchText(std::string_view typed);
