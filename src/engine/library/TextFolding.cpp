#include "engine/library/TextFolding.h"

#include <array>
#include <cstdint>

namespace {

// U+00C0 to U+017F: the base letter of each, '*' for a sign kept as it is, digits for the
// letters that fold to two (see kPairs).
constexpr std::string_view kLatinBases =
    "aaaaaa1ceeeeiiiidnooooo*ouuuuy23aaaaaa1ceeeeiiiidnooooo*ouuuuy2y"
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii44jjkkklllllll"
    "lllnnnnnnnnnoooooo55rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
constexpr std::array<std::string_view, 5> kPairs = {"ae", "th", "ss", "ij", "oe"};

// Bytes 0x80 to 0x9F of code page 1252; the unassigned ones keep their values.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::string foldedForSearch(std::string_view utf8) {
    std::string folded;
    folded.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte >= 'A' && byte <= 'Z') {
            folded += static_cast<char>(byte - 'A' + 'a');
            continue;
        }
        if (byte < 0xC3 || byte > 0xCD || i + 1 == utf8.size() ||
            !isContinuation(static_cast<unsigned char>(utf8[i + 1]))) {
            folded += utf8[i];
            continue;
        }
        const char32_t code =
            ((byte & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
        if (code >= 0x300 && code <= 0x36F) {
            ++i;  // a combining accent
        } else if (code >= 0xC0 && code <= 0x17F && kLatinBases[code - 0xC0] != '*') {
            const char base = kLatinBases[code - 0xC0];
            folded += base >= '1' && base <= '5' ? kPairs[base - '1'] : std::string_view(&base, 1);
            ++i;
        } else {
            folded += utf8[i];
        }
    }
    return folded;
}

bool isUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        // The second byte's range excludes overlong forms, surrogates and code points past
        // U+10FFFF.
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (byte >= 0xC2 && byte <= 0xDF) {
            length = 2;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            length = 3;
            low = byte == 0xE0 ? 0xA0 : 0x80;
            high = byte == 0xED ? 0x9F : 0xBF;
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            length = 4;
            low = byte == 0xF0 ? 0x90 : 0x80;
            high = byte == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        const auto second = static_cast<unsigned char>(text[i + 1]);
        if (second < low || second > high) {
            return false;
        }
        for (std::size_t k = 2; k < length; ++k) {
            if (!isContinuation(static_cast<unsigned char>(text[i + k]))) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

std::string utf8FromCp1252(std::string_view text) {
    std::string utf8;
    utf8.reserve(text.size() + text.size() / 4);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        appendUtf8(utf8, byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte);
    }
    return utf8;
}
