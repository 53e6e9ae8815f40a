// Decks summed on one card: the plain sum while it fits, a limited one when it would clip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "Pcm.h"
#include "engine/sound/AudioDevice.h"

namespace {

constexpr int kBlock = 256;

// The track scaled so that its loudest sample is `peak`.
Pcm atPeak(Pcm pcm, int peak) {
    int loudest = 1;
    for (int16_t v : pcm.samples) {
        loudest = std::max(loudest, std::abs(int{v}));
    }
    for (int16_t& v : pcm.samples) {
        v = static_cast<int16_t>(static_cast<int64_t>(v) * peak / loudest);
    }
    return pcm;
}

TEST(DeviceMixTest, LoudDecksAreLimitedSmoothlyAndThePlainSumComesBack) {
    // Two decks peaking at -0.7 dB: low tones beating against each other and kicks. After
    // three seconds both fall quiet enough to fit again.
    const auto deck = [](double bpm, double hz) {
        const Pcm loud = atPeak(mixed({drums(bpm, 3.0), tone(hz, 3.0, 44100, 2, 9000)}), 30240);
        return concat({loud, atPeak(tone(hz, 1.0), 12000)});
    };
    const Pcm a = deck(120, 50);
    const Pcm b = deck(126, 53);
    std::vector<int32_t> sum(a.samples.begin(), a.samples.end());
    std::transform(sum.begin(), sum.end(), b.samples.begin(), sum.begin(), std::plus<>());
    const auto over =
        std::count_if(sum.begin(), sum.end(), [](int32_t v) { return std::abs(v) > 32767; });
    ASSERT_GT(over, 1000);  // a plain sum clips this often

    AudioDevice card{2};
    for (const Pcm* track : {&a, &b}) {
        LoopBuffer* buffer = card.createBuffer(Placement::Stereo);
        std::copy(track->samples.begin(), track->samples.end(), buffer->samples());
        buffer->publish(track->frames());
        buffer->start();
    }
    std::vector<int16_t> out(a.samples.size());
    for (int at = 0; at < a.frames(); at += kBlock) {  // block by block, as a driver asks
        card.mix(out.data() + 2 * static_cast<std::size_t>(at), std::min(kBlock, a.frames() - at));
    }
    const auto fullScale =
        std::count_if(out.begin(), out.end(), [](int16_t v) { return v >= 32767 || v <= -32767; });
    EXPECT_EQ(fullScale, 0);
    EXPECT_GT(*std::max_element(out.begin(), out.end()), PeakLimiter::kCeiling - 100)
        << "limited to the ceiling, not below it";
    EXPECT_LE(largestStep(out, 2), largestStep(sum, 2))
        << "the gain moves no faster than the music";
    // The hold and the release after the last block over full scale.
    const std::size_t settled = 2 * static_cast<std::size_t>(3.2 * 44100);
    EXPECT_TRUE(std::equal(out.begin() + settled, out.end(), sum.begin() + settled));
}

}  // namespace
