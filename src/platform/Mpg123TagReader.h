#pragma once

#include <mpg123.h>

#include "engine/library/TagReader.h"

// Title and artist from ID3v2 (2.2 to 2.4) tags, else from an ID3v1 tag at the end of the file,
// through libmpg123's own ID3 reader; texts in UTF-8. Thread: whichever one uses it.
class Mpg123TagReader : public TagReader {
  public:
    Mpg123TagReader();
    ~Mpg123TagReader() override;
    Mpg123TagReader(const Mpg123TagReader&) = delete;
    Mpg123TagReader& operator=(const Mpg123TagReader&) = delete;

    ArtistTitle readTags(const std::string& path) override;

  private:
    mpg123_handle* handle_ = nullptr;
};
