#include "platform/Mpg123Decoder.h"

#include <fcntl.h>
#include <stdio_ext.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr long kOutputRate = 44100;

// Layer III frames take up to 511 bytes of earlier frames' data (the bit reservoir): a frame is
// only trusted once that much of an unbroken chain lies before it, and at least two frames, so
// that a lone header found in junk never plays.
constexpr int64_t kTrustedChainBytes = 512;
constexpr int kTrustedChainFrames = 2;

// A stdio buffer of this size serves libmpg123's reads: left to itself it reads a frame header
// and a frame at a time, a few hundred bytes per system call.
constexpr std::size_t kReadBufferBytes = 64 * 1024;

ssize_t readFile(void* file, void* dest, std::size_t count) {
    auto* stream = static_cast<std::FILE*>(file);
    const std::size_t got = std::fread(dest, 1, count, stream);
    return got == 0 && std::ferror(stream) != 0 ? -1 : static_cast<ssize_t>(got);
}

off_t seekFile(void* file, off_t offset, int whence) {
    auto* stream = static_cast<std::FILE*>(file);
    return ::fseeko(stream, offset, whence) == 0 ? ::ftello(stream) : -1;
}

void initialiseLibraryOnce() {
    static const int result = mpg123_init();
    (void)result;
}

}  // namespace

Mpg123Decoder::Mpg123Decoder() : readBuffer_(kReadBufferBytes) {
    initialiseLibraryOnce();
    handle_ = mpg123_new(nullptr, nullptr);
    if (handle_ == nullptr) {
        return;
    }
    mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    // Search past any amount of junk, as a long run of zero bytes, for the rest of the track:
    // what is found in the junk itself is silenced (decodeFrame).
    mpg123_param(handle_, MPG123_RESYNC_LIMIT, -1, 0);
    mpg123_format_none(handle_);
    mpg123_format(handle_, kOutputRate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    mpg123_replace_reader_handle(handle_, &readFile, &seekFile, nullptr);
}

Mpg123Decoder::~Mpg123Decoder() {
    close();
    mpg123_delete(handle_);
}

void Mpg123Decoder::close() {
    if (opened_) {
        mpg123_close(handle_);
        opened_ = false;
    }
    if (file_ != nullptr) {
        std::fclose(file_);  // and its descriptor
        file_ = nullptr;
    } else if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = -1;
}

void Mpg123Decoder::newInput(const char* path) {
    path_ = path;
}

bool Mpg123Decoder::open() {
    close();
    ended_ = false;
    frameBytes_ = 0;
    nextSample_ = 0;
    totalSamples_ = 0;
    inputSize_ = 0;
    queued_ = settled_ = 0;
    restartChain();
    if (handle_ == nullptr) {
        return false;
    }
    // Opening a FIFO waits for a writer: look before opening. O_NONBLOCK keeps a file swapped
    // in meanwhile from blocking too; it changes nothing for a regular file.
    struct stat status {};
    if (::stat(path_.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0 || ::fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode)) {
        close();
        return false;
    }
    inputSize_ = static_cast<uint32_t>(status.st_size);
    // A channel count forced by the previous file must not carry over to this one.
    mpg123_param(handle_, MPG123_REMOVE_FLAGS, MPG123_FORCE_MONO | MPG123_FORCE_STEREO, 0);
    file_ = ::fdopen(fd_, "rb");
    if (file_ != nullptr) {
        // Only the thread that owns the decoder reads: no stream lock on the audio thread.
        __fsetlocking(file_, FSETLOCKING_BYCALLER);
    }
    if (file_ == nullptr ||
        std::setvbuf(file_, readBuffer_.data(), _IOFBF, readBuffer_.size()) != 0 ||
        mpg123_open_handle(handle_, file_) != MPG123_OK) {
        close();
        return false;
    }
    opened_ = true;
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    mpg123_frameinfo2 info{};
    if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK ||
        mpg123_info2(handle_, &info) != MPG123_OK) {
        ended_ = true;  // no frame at all: the first decode reports it
        return true;
    }
    channels_ = channels;
    layer_ = info.layer;
    version_ = info.version;
    sourceRate_ = info.rate;
    // Keep the frame size of the first frame for the whole file, so a stream that switches between
    // mono and stereo keeps playing.
    mpg123_param(handle_, MPG123_ADD_FLAGS, channels == 1 ? MPG123_FORCE_MONO : MPG123_FORCE_STEREO,
                 0);
    // Without this a VBR file lacking a header reports a wildly wrong length.
    mpg123_scan(handle_);
    totalSamples_ = std::max<int64_t>(0, mpg123_length(handle_));
    return true;
}

void Mpg123Decoder::restartChain() {
    expectedOffset_ = -1;
    chainFrames_ = kTrustedChainFrames;
    chainBytes_ = kTrustedChainBytes;
    lastFrameSize_ = 0;
    heldTrusted_ = false;
}

void Mpg123Decoder::settleHeld(bool audible) {
    if (!audible) {
        std::fill(queue_.begin() + static_cast<std::ptrdiff_t>(settled_),
                  queue_.begin() + static_cast<std::ptrdiff_t>(queued_), int16_t{0});
    }
    settled_ = queued_;
}

void Mpg123Decoder::hold(const unsigned char* audio, std::size_t bytes) {
    // More than the queue holds cannot come from a valid frame: the excess is dropped.
    const std::size_t samples = std::min(bytes / sizeof(int16_t), queue_.size() - queued_);
    std::memcpy(queue_.data() + queued_, audio, samples * sizeof(int16_t));
    queued_ += samples;
}

void Mpg123Decoder::decodeFrame() {
    off_t number = 0;
    unsigned char* audio = nullptr;
    std::size_t bytes = 0;
    int result;
    do {
        result = mpg123_decode_frame(handle_, &number, &audio, &bytes);
    } while (result == MPG123_NEW_FORMAT);
    if (result != MPG123_OK) {
        settleHeld(heldTrusted_);  // the end of the stream breaks no chain
        ended_ = true;
        return;
    }
    mpg123_frameinfo2 info{};
    mpg123_info2(handle_, &info);
    const off_t offset = mpg123_framepos(handle_);
    const bool continues = (expectedOffset_ < 0 || offset == expectedOffset_) &&
                           info.layer == layer_ && info.version == version_ &&
                           info.rate == sourceRate_;
    settleHeld(heldTrusted_ && continues);
    // Files stitched together change kind once: after a short break the new kind plays.
    layer_ = info.layer;
    version_ = info.version;
    sourceRate_ = info.rate;
    if (continues) {
        ++chainFrames_;
        chainBytes_ += lastFrameSize_;
    } else {
        chainFrames_ = 0;
        chainBytes_ = 0;
    }
    chainFrames_ = std::min(chainFrames_, kTrustedChainFrames);
    chainBytes_ = std::min(chainBytes_, kTrustedChainBytes);
    heldTrusted_ = chainFrames_ >= kTrustedChainFrames && chainBytes_ >= kTrustedChainBytes;
    expectedOffset_ = offset + info.framesize;
    lastFrameSize_ = info.framesize;
    hold(audio, bytes);
}

int Mpg123Decoder::decode(int16_t* dest) {
    if (!opened_) {
        return kEnded;
    }
    const std::size_t want = static_cast<std::size_t>(channels_) * kFrameSamples;
    while (settled_ < want && !ended_) {
        decodeFrame();
    }
    if (settled_ == 0) {
        return kEnded;
    }
    const std::size_t count = std::min(want, settled_);
    if (dest != nullptr) {
        std::copy_n(queue_.begin(), count, dest);
        std::fill(dest + count, dest + want, int16_t{0});
    }
    std::copy(queue_.begin() + static_cast<std::ptrdiff_t>(count),
              queue_.begin() + static_cast<std::ptrdiff_t>(queued_), queue_.begin());
    queued_ -= count;
    settled_ -= count;
    frameBytes_ = static_cast<int>(want * sizeof(int16_t));
    nextSample_ += kFrameSamples;
    return kDecoded;
}

float Mpg123Decoder::streamPosition() const {
    if (totalSamples_ <= 0) {
        return 0.0f;
    }
    return static_cast<float>(
        std::min(1.0, static_cast<double>(nextSample_) / static_cast<double>(totalSamples_)));
}

void Mpg123Decoder::seekTo(float fraction) {
    if (!opened_) {
        return;
    }
    // Not a number seeks to the start.
    const double clamped = fraction > 0.0f ? std::min(1.0, static_cast<double>(fraction)) : 0.0;
    const auto target = static_cast<off_t>(clamped * static_cast<double>(totalSamples_));
    const off_t reached = mpg123_seek(handle_, target, SEEK_SET);
    if (reached >= 0) {
        nextSample_ = reached;
        ended_ = false;
    }
    queued_ = settled_ = 0;
    restartChain();
}

int Mpg123Decoder::lengthSeconds() const {
    return static_cast<int>(totalSamples_ / kOutputRate);
}
