#include "platform/Mpg123TagReader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "Id3Tags.h"
#include "Mp3Fixtures.h"

namespace {

using Tags = std::pair<std::string, std::string>;  // artist, title

class Mpg123TagReaderTest : public ::testing::Test {
  protected:
    static const std::vector<uint8_t>& audio() {
        static const std::vector<uint8_t> bytes = encodeMp3(tone(440, 0.5));
        return bytes;
    }
    // The audio with a tag in front of it and one behind it, either left out when empty.
    std::string track(const std::string& name, const std::vector<uint8_t>& front,
                      const std::vector<uint8_t>& back = {}) {
        const std::vector<uint8_t> bytes = inserted(audio(), 0, front);
        return dir.write(name, inserted(bytes, bytes.size(), back));
    }
    Tags read(const std::string& path) {
        const ArtistTitle tags = reader.readTags(path);
        return {tags.artist, tags.title};
    }

    TempDir dir;
    Mpg123TagReader reader;
};

TEST_F(Mpg123TagReaderTest, UntaggedMissingAndOtherFilesGiveNothing) {
    const std::string fifo = (dir.path() / "pipe.mp3").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // The tags of the track read before must not stick to any of these.
    read(track("tagged.mp3", id3v2Tag(3, Id3Text::kLatin1, "First", "Artist"),
               id3v1Tag("First", "Artist")));
    for (const std::string& path :
         {track("plain.mp3", {}), (dir.path() / "missing.mp3").string(), dir.path().string(),
          dir.write("noise.mp3", randomBytes(4000, 7)), dir.write("empty.mp3", std::string()),
          fifo}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(read(path), Tags{});  // a pipe would block here
    }
}

TEST_F(Mpg123TagReaderTest, DamagedTagsLeaveTheReaderWorking) {
    std::vector<uint8_t> tag = id3v2Tag(3, Id3Text::kLatin1, "Broken Title", "Broken Artist");
    // A frame that claims more bytes than the tag holds, and a tag that claims more than the file.
    std::vector<uint8_t> longFrame = tag;
    longFrame[14] = 0x7F;
    std::vector<uint8_t> longTag = tag;
    longTag[6] = 0x7F;
    const std::vector<uint8_t> cut(tag.begin(), tag.begin() + 16);
    for (const auto& front : {longFrame, longTag, cut}) {
        read(track("damaged.mp3", front));
        EXPECT_EQ(read(track("next.mp3", id3v2Tag(4, Id3Text::kUtf8, "Next", "Fine"))),
                  (Tags{"Fine", "Next"}));
    }
}

}  // namespace
