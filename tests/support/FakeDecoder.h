#pragma once

#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/deck/Decoder.h"

// The track a FakeDecoder plays.
struct FakeTrack {
    bool opens = true;
    int frames = 400;
    int lengthSeconds = 10;
    uint32_t size = 123456;
    int frameBytes = Decoder::kStereoFrameBytes;
    std::set<int> tryAgainBefore{};  // frames preceded by one try-again answer
    int failAt = -1;                 // frame whose decoding fails
    std::function<void()> onOpen{};  // runs in open(), on the thread that opens
    double toneHz = 0.0;             // when set, a sine of this frequency on both channels
};

// What the decoders made for one deck were asked to do, across loads.
struct FakeDecoderLog {
    std::vector<std::string> inputs;
    std::vector<float> seeks;
};

// A decoder playing a scripted track. Every sample tells where it comes from: the left channel
// holds the frame number and the right one the sample's index within its frame (mono: the index).
// A track with a tone plays a sustained sine instead, of amplitude kToneAmplitude.
class FakeDecoder : public Decoder {
  public:
    static constexpr double kToneAmplitude = 12000.0;

    explicit FakeDecoder(FakeTrack script = {},
                         std::shared_ptr<FakeDecoderLog> log = std::make_shared<FakeDecoderLog>())
        : script_(std::move(script)), log_(std::move(log)) {}

    void newInput(const char* path) override {
        log_->inputs.push_back(path);
        opened_ = false;
    }
    void close() override { opened_ = false; }
    bool open() override {
        if (script_.onOpen) {
            script_.onOpen();
        }
        next_ = 0;
        opened_ = script_.opens;
        return opened_;
    }
    int decode(int16_t* dest) override {
        if (!opened_ || next_ >= script_.frames || next_ == script_.failAt) {
            return kEnded;
        }
        if (script_.tryAgainBefore.count(next_) > 0 && !waited_) {
            waited_ = true;
            return kTryAgain;
        }
        waited_ = false;
        if (dest != nullptr) {
            for (int i = 0; i < kFrameSamples; ++i) {
                if (script_.toneHz > 0.0) {
                    const double t = (next_ * kFrameSamples + i) / 44100.0;
                    dest[2 * i] = dest[2 * i + 1] = static_cast<int16_t>(
                        std::lround(kToneAmplitude * std::sin(2.0 * M_PI * script_.toneHz * t)));
                } else if (script_.frameBytes == kMonoFrameBytes) {
                    dest[i] = static_cast<int16_t>(i);
                } else {
                    dest[2 * i] = static_cast<int16_t>(next_);
                    dest[2 * i + 1] = static_cast<int16_t>(i);
                }
            }
        }
        ++next_;
        return kDecoded;
    }
    int frameBytes() const override { return script_.frameBytes; }
    float streamPosition() const override {
        return static_cast<float>(next_) / static_cast<float>(script_.frames);
    }
    void seekTo(float fraction) override {
        log_->seeks.push_back(fraction);
        next_ = static_cast<int>(fraction * static_cast<float>(script_.frames));
    }
    int lengthSeconds() const override { return script_.lengthSeconds; }
    uint32_t inputSize() const override { return script_.size; }

    const FakeDecoderLog& log() const { return *log_; }

  private:
    FakeTrack script_;
    std::shared_ptr<FakeDecoderLog> log_;
    bool opened_ = false;
    bool waited_ = false;
    int next_ = 0;
};

// A decoder factory, as a deck takes it, whose decoders all play `script`.
inline std::function<std::unique_ptr<Decoder>()> fakeDecoders(FakeTrack script = {}) {
    return [script] { return std::make_unique<FakeDecoder>(script); };
}
