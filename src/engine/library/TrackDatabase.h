#pragma once

#include <string>
#include <string_view>
#include <vector>

// "mp3DataBase.txt": one line per track, "disc=path", read once and searched in place. Line ends
// may be CR, LF or both; empty lines are skipped. A file that is not UTF-8 is read as code page
// 1252, as databases written on Windows are; the lines are UTF-8. Main thread only; the free
// functions are pure (any thread).
class TrackDatabase {
  public:
    static constexpr const char* kFileName = "mp3DataBase.txt";

    // False (and the database stays absent) when the file cannot be read.
    bool load(const std::string& path);
    bool present() const { return present_; }

    // The lines that hold every one of words (see searchWords), in any order, last line of the
    // file first. No words match every line.
    std::vector<std::string_view> search(const std::vector<std::string>& words) const;

    std::size_t lineCount() const { return lines_.size(); }

  private:
    bool present_ = false;
    std::string buffer_;
    std::string folded_;  // the lines as the search compares them
    std::vector<std::string_view> lines_;
    std::vector<std::string_view> foldedLines_;
};

// The words of a typed search, split at white space and folded as the search compares them
// (foldedForSearch).
std::vector<std::string> searchWords(std::string_view typed);

// Whether a line, folded, holds each of words.
bool lineMatches(std::string_view foldedLine, const std::vector<std::string>& words);

// The line of a track: the disc name (an '=' in it written as '-', so that the line splits where
// it should), '=', the path. Empty when the path cannot be kept in a database: not UTF-8, or
// with a line end in it.
std::string databaseLine(std::string_view disc, std::string_view path);

// Column 0 title, 1 artist (from the file name), 2 the disc, 3 the path's folder.
std::string databaseColumnText(std::string_view line, int column);
