#pragma once

#include <sys/types.h>

#include <cstddef>
#include <vector>

// Reads an open file for libmpg123 through a large buffer: left to itself the library reads a
// frame header and a frame at a time, a few hundred bytes per system call. Seeks within the
// buffer cost no system call. Thread: the one that owns the decoder.
class BufferedFileReader {
  public:
    static constexpr std::size_t kBufferBytes = 64 * 1024;

    BufferedFileReader();
    // Starts reading an open file from its beginning; the caller keeps the descriptor.
    void reset(int fd);

    // As read(2) and lseek(2) on the file; for mpg123_replace_reader_handle.
    static ssize_t read(void* reader, void* dest, std::size_t count);
    static off_t seek(void* reader, off_t offset, int whence);

    // The read(2) calls made so far on this file.
    long systemReads() const { return systemReads_; }

  private:
    ssize_t readInto(char* dest, std::size_t count);
    bool fill();

    int fd_ = -1;
    std::vector<char> buffer_;
    off_t bufferStart_ = 0;     // the file offset of buffer_[0]
    std::size_t buffered_ = 0;  // valid bytes in the buffer
    off_t position_ = 0;        // where the next read starts
    off_t filePosition_ = 0;    // the descriptor's own offset
    long systemReads_ = 0;
};
