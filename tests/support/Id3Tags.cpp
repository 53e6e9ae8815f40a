#include "Id3Tags.h"

#include <QByteArray>
#include <QString>

namespace {

// Four bytes, most significant first; syncsafe sizes use seven bits of each.
QByteArray size32(uint32_t size, bool syncsafe) {
    const int bits = syncsafe ? 7 : 8;
    QByteArray bytes;
    for (int shift = 3 * bits; shift >= 0; shift -= bits) {
        bytes += static_cast<char>((size >> shift) & ((1u << bits) - 1));
    }
    return bytes;
}

// The frame's body: the encoding byte, then the text ended by a zero character.
QByteArray encoded(Id3Text encoding, const std::string& text) {
    const QString unicode = QString::fromStdString(text);
    QByteArray bytes(1, static_cast<char>(encoding));
    switch (encoding) {
        case Id3Text::kLatin1:
            bytes += unicode.toLatin1();
            bytes += '\0';
            break;
        case Id3Text::kUtf16:
            bytes += QByteArray("\xFF\xFE", 2);  // little endian
            for (const char16_t unit : unicode.toStdU16String()) {
                bytes += static_cast<char>(unit & 0xFF);
                bytes += static_cast<char>(unit >> 8);
            }
            bytes += QByteArray(2, '\0');
            break;
        case Id3Text::kUtf8:
            bytes += QByteArray::fromStdString(text);
            bytes += '\0';
            break;
    }
    return bytes;
}

QByteArray frame(int version, const char* id, Id3Text encoding, const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const QByteArray body = encoded(encoding, text);
    return QByteArray(id, 4) + size32(static_cast<uint32_t>(body.size()), version == 4) +
           QByteArray(2, '\0') + body;
}

QByteArray field(const std::string& text) {
    QByteArray latin1 = QString::fromStdString(text).toLatin1().left(30);
    latin1.resize(30, '\0');
    return latin1;
}

std::vector<uint8_t> bytesOf(const QByteArray& bytes) {
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace

std::vector<uint8_t> id3v2Tag(int version, Id3Text encoding, const std::string& title,
                              const std::string& artist) {
    const QByteArray frames =
        frame(version, "TIT2", encoding, title) + frame(version, "TPE1", encoding, artist);
    QByteArray tag("ID3", 3);
    tag += static_cast<char>(version);
    tag += QByteArray(2, '\0');  // revision and flags
    return bytesOf(tag + size32(static_cast<uint32_t>(frames.size()), true) + frames);
}

std::vector<uint8_t> id3v1Tag(const std::string& title, const std::string& artist) {
    QByteArray tag = QByteArray("TAG", 3) + field(title) + field(artist);
    tag.resize(128, '\0');  // album, year, comment and genre left empty
    return bytesOf(tag);
}
