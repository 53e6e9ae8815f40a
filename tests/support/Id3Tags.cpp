#include "Id3Tags.h"

#include <QString>
#include <algorithm>

namespace {

void putSize(std::vector<uint8_t>& out, uint32_t size, bool syncsafe) {
    const int bits = syncsafe ? 7 : 8;
    for (int shift = 3 * bits; shift >= 0; shift -= bits) {
        out.push_back(static_cast<uint8_t>((size >> shift) & ((1u << bits) - 1)));
    }
}

std::vector<uint8_t> encoded(Id3Text encoding, const std::string& text) {
    const QString unicode = QString::fromStdString(text);
    std::vector<uint8_t> bytes{static_cast<uint8_t>(encoding)};
    switch (encoding) {
        case Id3Text::kLatin1: {
            const QByteArray latin1 = unicode.toLatin1();
            bytes.insert(bytes.end(), latin1.begin(), latin1.end());
            bytes.push_back(0);
            break;
        }
        case Id3Text::kUtf16:
            bytes.insert(bytes.end(), {0xFF, 0xFE});  // little endian
            for (const char16_t unit : unicode.toStdU16String()) {
                bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
                bytes.push_back(static_cast<uint8_t>(unit >> 8));
            }
            bytes.insert(bytes.end(), {0, 0});
            break;
        case Id3Text::kUtf8:
            bytes.insert(bytes.end(), text.begin(), text.end());
            bytes.push_back(0);
            break;
    }
    return bytes;
}

void putFrame(std::vector<uint8_t>& out, int version, const char* id, Id3Text encoding,
              const std::string& text) {
    if (text.empty()) {
        return;
    }
    const std::vector<uint8_t> body = encoded(encoding, text);
    out.insert(out.end(), id, id + 4);
    putSize(out, static_cast<uint32_t>(body.size()), version == 4);
    out.insert(out.end(), {0, 0});
    out.insert(out.end(), body.begin(), body.end());
}

void putField(std::vector<uint8_t>& out, const std::string& text) {
    QByteArray latin1 = QString::fromStdString(text).toLatin1().left(30);
    latin1.resize(30, '\0');
    out.insert(out.end(), latin1.begin(), latin1.end());
}

}  // namespace

std::vector<uint8_t> id3v2Tag(int version, Id3Text encoding, const std::string& title,
                              const std::string& artist) {
    std::vector<uint8_t> frames;
    putFrame(frames, version, "TIT2", encoding, title);
    putFrame(frames, version, "TPE1", encoding, artist);
    std::vector<uint8_t> tag{'I', 'D', '3', static_cast<uint8_t>(version), 0, 0};
    putSize(tag, static_cast<uint32_t>(frames.size()), true);
    tag.insert(tag.end(), frames.begin(), frames.end());
    return tag;
}

std::vector<uint8_t> id3v1Tag(const std::string& title, const std::string& artist) {
    std::vector<uint8_t> tag{'T', 'A', 'G'};
    putField(tag, title);
    putField(tag, artist);
    tag.resize(128, 0);  // album, year, comment and genre left empty
    return tag;
}
