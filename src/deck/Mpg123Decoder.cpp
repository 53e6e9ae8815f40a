#include "deck/Mpg123Decoder.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace {

constexpr long kOutputRate = 44100;

// How far the decoder searches past a damaged region for the next frame: enough to skip a
// scratched stretch of a few frames, not so far that random bytes pass for music.
constexpr long kResyncLimitBytes = 64 * 1024;

void initialiseLibraryOnce() {
    static const int result = mpg123_init();
    (void)result;
}

}  // namespace

Mpg123Decoder::Mpg123Decoder() {
    initialiseLibraryOnce();
    handle_ = mpg123_new(nullptr, nullptr);
    if (handle_ == nullptr) {
        return;
    }
    mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    mpg123_param(handle_, MPG123_RESYNC_LIMIT, kResyncLimitBytes, 0);
    mpg123_format_none(handle_);
    mpg123_format(handle_, kOutputRate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
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
}

void Mpg123Decoder::newInput(const char* path) {
    path_ = path;
}

bool Mpg123Decoder::open() {
    close();
    ended_ = false;
    filled_ = 0;
    frameBytes_ = 0;
    nextSample_ = 0;
    totalSamples_ = 0;
    std::error_code error;
    const auto size = std::filesystem::file_size(path_, error);
    inputSize_ = error ? 0 : static_cast<uint32_t>(size);
    if (handle_ == nullptr) {
        return false;
    }
    // A channel count forced by the previous file must not carry over to this one.
    mpg123_param(handle_, MPG123_REMOVE_FLAGS, MPG123_FORCE_MONO | MPG123_FORCE_STEREO, 0);
    if (mpg123_open(handle_, path_.c_str()) != MPG123_OK) {
        return false;
    }
    opened_ = true;
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK) {
        ended_ = true;  // no frame at all: the first decode reports it
        return true;
    }
    channels_ = channels;
    // Keep the frame size of the first frame for the whole file, so a stream that switches between
    // mono and stereo keeps playing.
    mpg123_param(handle_, MPG123_ADD_FLAGS, channels == 1 ? MPG123_FORCE_MONO : MPG123_FORCE_STEREO,
                 0);
    // Without this a VBR file lacking a header reports a wildly wrong length.
    mpg123_scan(handle_);
    totalSamples_ = std::max<int64_t>(0, mpg123_length(handle_));
    return true;
}

int Mpg123Decoder::decode(int16_t* dest) {
    if (!opened_ || ended_) {
        return kEnded;
    }
    auto* out = reinterpret_cast<unsigned char*>(dest != nullptr ? dest : scratch_.data());
    const std::size_t want = channels_ == 1 ? kMonoFrameBytes : kStereoFrameBytes;
    while (filled_ < want) {
        std::size_t done = 0;
        const int result = mpg123_read(handle_, out + filled_, want - filled_, &done);
        filled_ += done;
        if (result == MPG123_NEED_MORE) {
            return kTryAgain;
        }
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            ended_ = true;  // the last read may still carry samples: keep them
            break;
        }
    }
    if (filled_ == 0) {
        return kEnded;
    }
    std::memset(out + filled_, 0, want - filled_);
    filled_ = 0;
    frameBytes_ = static_cast<int>(want);
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
    const auto target = static_cast<off_t>(static_cast<double>(fraction) * totalSamples_);
    const off_t reached = mpg123_seek(handle_, target, SEEK_SET);
    if (reached >= 0) {
        nextSample_ = reached;
        ended_ = false;
    }
    filled_ = 0;
}

int Mpg123Decoder::lengthSeconds() const {
    return static_cast<int>(totalSamples_ / kOutputRate);
}
