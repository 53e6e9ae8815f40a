#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "Pcm.h"

// MP3 files made at test time with libmp3lame, and damaged ones.

struct Mp3Options {
    bool vbr = false;
    int kbps = 128;  // constant bit rate when not vbr
};

std::vector<uint8_t> encodeMp3(const Pcm& pcm, Mp3Options options = {});

// A folder of its own under the temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes the bytes to name inside the folder and returns the full path.
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    std::string write(const std::string& name, const std::string& text) const;
    // How many files and folders it holds, so a failed save can be seen to leave nothing behind.
    long entries() const;

  private:
    std::filesystem::path path_;
};

// What a file holds, byte for byte; empty when it cannot be read.
std::string fileText(const std::filesystem::path& file);

// The first fraction of the bytes, cut in the middle of a frame.
std::vector<uint8_t> truncated(std::vector<uint8_t> bytes, double fraction);
std::vector<uint8_t> randomBytes(std::size_t count, unsigned seed);
// An ID3v2 tag with a title and no audio after it.
std::vector<uint8_t> id3TagOnly();
// count bytes from offset overwritten with noise.
std::vector<uint8_t> damaged(std::vector<uint8_t> bytes, std::size_t offset, std::size_t count,
                             unsigned seed);
// The bytes with insertion put in at offset.
std::vector<uint8_t> inserted(std::vector<uint8_t> bytes, std::size_t offset,
                              const std::vector<uint8_t>& insertion);
