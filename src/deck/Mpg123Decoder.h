#pragma once

#include <mpg123.h>

#include <array>
#include <cstdint>
#include <string>

#include "deck/Decoder.h"

// The deck's decoder on libmpg123. Whatever the source rate, libmpg123 delivers 44100 Hz, so
// 48, 32 and 22.05 kHz files (MPEG-2 with 576-sample frames included) play at their true speed;
// its output is cut into frames of exactly 1152 samples.
class Mpg123Decoder : public Decoder {
  public:
    Mpg123Decoder();
    ~Mpg123Decoder() override;
    Mpg123Decoder(const Mpg123Decoder&) = delete;
    Mpg123Decoder& operator=(const Mpg123Decoder&) = delete;

    void newInput(const char* path) override;
    void close() override;
    bool open() override;
    int decode(int16_t* dest) override;
    int frameBytes() const override { return frameBytes_; }
    float streamPosition() const override;
    void seekTo(float fraction) override;
    int lengthSeconds() const override;
    uint32_t inputSize() const override { return inputSize_; }

  private:
    mpg123_handle* handle_ = nullptr;
    std::string path_;
    bool opened_ = false;
    bool ended_ = false;
    int channels_ = 2;
    int64_t totalSamples_ = 0;
    int64_t nextSample_ = 0;
    std::size_t filled_ = 0;  // bytes of a frame already read when the decoder asked to wait
    int frameBytes_ = 0;
    uint32_t inputSize_ = 0;
    std::array<int16_t, 2 * kFrameSamples> scratch_{};
};
