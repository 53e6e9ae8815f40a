#pragma once

#include <string>

#include "engine/library/ArtistTitle.h"

// Reads the title and artist a track's tags give. One reader serves one thread at a time.
class TagReader {
  public:
    virtual ~TagReader() = default;
    // Empty texts where the file has no such tag, or no tags, or cannot be read.
    virtual ArtistTitle readTags(const std::string& path) = 0;
};
