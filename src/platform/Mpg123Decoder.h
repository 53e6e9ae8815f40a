#pragma once

#include <mpg123.h>
#include <sys/types.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/deck/Decoder.h"

// The deck's decoder on libmpg123. Whatever the source rate, libmpg123 delivers 44100 Hz, so
// 48, 32 and 22.05 kHz files (MPEG-2 with 576-sample frames included) play at their true speed;
// its output is cut into frames of exactly 1152 samples.
//
// Damaged regions come out as silence: libmpg123 searches past any amount of junk for the next
// frame, and a frame is only heard when it sits in an unbroken chain of frames of the stream's
// kind. Each frame is therefore held back until the next one shows whether the chain goes on.
class Mpg123Decoder : public Decoder {
  public:
    Mpg123Decoder();
    ~Mpg123Decoder() override;
    Mpg123Decoder(const Mpg123Decoder&) = delete;
    Mpg123Decoder& operator=(const Mpg123Decoder&) = delete;

    void newInput(const char* path) override;
    void close() override;
    // Refuses anything but a regular file without opening it, so that a FIFO or a device never
    // blocks the caller.
    bool open() override;
    int decode(int16_t* dest) override;
    int frameBytes() const override { return frameBytes_; }
    float streamPosition() const override;
    void seekTo(float fraction) override;
    int lengthSeconds() const override;
    uint32_t inputSize() const override { return inputSize_; }

  private:
    // Decodes the next libmpg123 frame into the queue and settles the frame held before it.
    // Sets ended_ at the end of the stream.
    void decodeFrame();
    // Appends the samples of one libmpg123 frame, held back until the next frame is known.
    void hold(const unsigned char* audio, std::size_t bytes);
    // Makes the held frame deliverable, silenced unless audible.
    void settleHeld(bool audible);
    // After opening or seeking: the next frame starts a chain that is trusted.
    void restartChain();

    // Room for the largest libmpg123 frame at 44100 Hz (1152 samples from 8 kHz, stereo) twice
    // over, plus the 1152 samples being assembled.
    static constexpr std::size_t kQueueSamples = 2 * 2 * 6400 + 2 * kFrameSamples;

    mpg123_handle* handle_ = nullptr;
    std::string path_;
    int fd_ = -1;
    std::FILE* file_ = nullptr;  // over fd_, reading through readBuffer_
    std::vector<char> readBuffer_;
    bool opened_ = false;
    bool ended_ = false;
    int channels_ = 2;
    int64_t totalSamples_ = 0;
    int64_t nextSample_ = 0;
    int frameBytes_ = 0;
    uint32_t inputSize_ = 0;

    // The kind of the frame before.
    int layer_ = 0;
    int version_ = 0;
    long sourceRate_ = 0;
    // Where the next frame must start to continue the chain (bytes; -1: anywhere), and the
    // frames and bytes of the chain before the held frame.
    off_t expectedOffset_ = -1;
    int chainFrames_ = 0;
    int64_t chainBytes_ = 0;
    int lastFrameSize_ = 0;
    bool heldTrusted_ = false;

    std::array<int16_t, kQueueSamples> queue_{};
    std::size_t queued_ = 0;   // samples (single values, not pairs) in the queue
    std::size_t settled_ = 0;  // of them, those settled and ready to deliver
};

// any: a fresh decoder, as a deck asks for one for each file it opens.
inline std::unique_ptr<Decoder> makeMpg123Decoder() {
    return std::make_unique<Mpg123Decoder>();
}
