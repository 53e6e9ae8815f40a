#include "platform/BufferedFileReader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

BufferedFileReader::BufferedFileReader() : buffer_(kBufferBytes) {}

void BufferedFileReader::reset(int fd) {
    fd_ = fd;
    bufferStart_ = position_ = filePosition_ = 0;
    buffered_ = 0;
    systemReads_ = 0;
}

ssize_t BufferedFileReader::read(void* reader, void* dest, std::size_t count) {
    return static_cast<BufferedFileReader*>(reader)->readInto(static_cast<char*>(dest), count);
}

off_t BufferedFileReader::seek(void* reader, off_t offset, int whence) {
    auto& self = *static_cast<BufferedFileReader*>(reader);
    off_t target = -1;
    if (whence == SEEK_SET) {
        target = offset;
    } else if (whence == SEEK_CUR) {
        target = self.position_ + offset;
    } else if (whence == SEEK_END) {
        // Only the file knows its end; its offset is set again before the next read anyway.
        target = self.filePosition_ = ::lseek(self.fd_, offset, SEEK_END);
    }
    if (target < 0) {
        errno = EINVAL;
        return -1;
    }
    self.position_ = target;
    return target;
}

ssize_t BufferedFileReader::readInto(char* dest, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const off_t inBuffer = position_ - bufferStart_;
        if (inBuffer >= 0 && static_cast<std::size_t>(inBuffer) < buffered_) {
            const std::size_t take =
                std::min(count - done, buffered_ - static_cast<std::size_t>(inBuffer));
            std::memcpy(dest + done, buffer_.data() + inBuffer, take);
            done += take;
            position_ += static_cast<off_t>(take);
        } else if (!fill()) {
            return done > 0 ? static_cast<ssize_t>(done) : (errno == 0 ? 0 : -1);
        }
    }
    return static_cast<ssize_t>(done);
}

bool BufferedFileReader::fill() {
    errno = 0;
    if (filePosition_ != position_) {
        filePosition_ = ::lseek(fd_, position_, SEEK_SET);
        if (filePosition_ != position_) {
            return false;
        }
    }
    ssize_t got = 0;
    do {
        got = ::read(fd_, buffer_.data(), buffer_.size());
        ++systemReads_;
    } while (got < 0 && errno == EINTR);
    bufferStart_ = position_;
    buffered_ = got > 0 ? static_cast<std::size_t>(got) : 0;
    filePosition_ = position_ + static_cast<off_t>(buffered_);
    if (got == 0) {
        errno = 0;  // the end of the file
    }
    return got > 0;
}
