#pragma once

#include <cstdint>
#include <string>
#include <vector>

// ID3 tags written byte by byte, to put in front of (v2) or behind (v1) an encoded MP3.

enum class Id3Text : uint8_t { kLatin1 = 0, kUtf16 = 1, kUtf8 = 3 };

// An ID3v2.3 or v2.4 tag (version 3 or 4) with a title frame and an artist frame, each left out
// when its text is empty; texts are given in UTF-8 and written in the encoding asked for.
std::vector<uint8_t> id3v2Tag(int version, Id3Text encoding, const std::string& title,
                              const std::string& artist);
// The 128 bytes of an ID3v1 tag; texts given in UTF-8, written in Latin-1 and cut to 30 bytes.
std::vector<uint8_t> id3v1Tag(const std::string& title, const std::string& artist);
