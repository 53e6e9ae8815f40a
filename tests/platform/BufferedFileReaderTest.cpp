#include "platform/BufferedFileReader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>

#include "Mp3Fixtures.h"

namespace {

// Any mix of reads and seeks gives the file's own bytes, as read(2) and lseek(2) would.
TEST(BufferedFileReaderTest, ReadsAndSeeksGiveTheFilesBytes) {
    TempDir dir;
    std::mt19937 random(7);
    std::string bytes(3 * BufferedFileReader::kBufferBytes + 1234, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    const int fd = ::open(dir.write("data", bytes).c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    BufferedFileReader reader;
    reader.reset(fd);
    const auto size = static_cast<off_t>(bytes.size());
    off_t at = 0;
    std::string got(BufferedFileReader::kBufferBytes + 500, '\0');
    for (int step = 0; step < 2000; ++step) {
        switch (random() % 4) {
            case 0:
                at = BufferedFileReader::seek(&reader, static_cast<off_t>(random() % bytes.size()),
                                              SEEK_SET);
                break;
            case 1:
                at = BufferedFileReader::seek(&reader, -static_cast<off_t>(random() % 3000),
                                              SEEK_END);
                break;
            default: {
                // Mostly frame-sized reads, now and then one larger than the buffer.
                const std::size_t count = step % 50 == 0 ? got.size() : 1 + random() % 1500;
                const ssize_t n = BufferedFileReader::read(&reader, got.data(), count);
                ASSERT_EQ(n, std::min<off_t>(static_cast<off_t>(count), size - at));
                ASSERT_EQ(got.compare(0, static_cast<std::size_t>(n), bytes,
                                      static_cast<std::size_t>(at), static_cast<std::size_t>(n)),
                          0);
                at += n;
            }
        }
        ASSERT_EQ(BufferedFileReader::seek(&reader, 0, SEEK_CUR), at);
    }
    ::close(fd);
}

// A file read a frame at a time costs one system call per buffer, not one per frame.
TEST(BufferedFileReaderTest, SmallReadsShareOneSystemRead) {
    TempDir dir;
    const std::string bytes(2 * BufferedFileReader::kBufferBytes, 'x');
    const int fd = ::open(dir.write("data", bytes).c_str(), O_RDONLY);
    BufferedFileReader reader;
    reader.reset(fd);
    char frame[157];
    while (BufferedFileReader::read(&reader, frame, sizeof frame) > 0) {
    }
    EXPECT_LE(reader.systemReads(), 4);  // two full buffers, and the end found twice
    ::close(fd);
}

}  // namespace
