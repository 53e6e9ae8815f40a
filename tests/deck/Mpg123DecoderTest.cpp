#include "deck/Mpg123Decoder.h"

#include <gtest/gtest.h>

#include <cmath>

#include "Mp3Fixtures.h"

namespace {

struct Decoded {
    int frames = 0;  // 1152-sample frames delivered
    int bytes = 0;   // bytes of each frame
    std::vector<float> positions;
    std::vector<int16_t> samples;  // as delivered, mono or stereo
};

Decoded decodeAll(Mpg123Decoder& decoder) {
    Decoded result;
    std::vector<int16_t> frame(2 * Decoder::kFrameSamples);
    for (;;) {
        result.positions.push_back(decoder.streamPosition());
        const int status = decoder.decode(frame.data());
        if (status == Decoder::kTryAgain) {
            continue;
        }
        if (status != Decoder::kDecoded) {
            break;
        }
        ++result.frames;
        result.bytes = decoder.frameBytes();
        result.samples.insert(result.samples.end(), frame.begin(),
                              frame.begin() + result.bytes / 2);
    }
    result.positions.pop_back();
    return result;
}

class Mpg123DecoderTest : public ::testing::Test {
  protected:
    std::string file(const std::string& name, const std::vector<uint8_t>& bytes) {
        return dir.write(name, bytes);
    }
    TempDir dir;
    Mpg123Decoder decoder;
};

TEST_F(Mpg123DecoderTest, DeliversWholeStereoFramesWithLengthSizeAndRisingPositions) {
    const auto bytes = encodeMp3(drums(120, 5.0));
    decoder.newInput(file("drums.mp3", bytes).c_str());
    ASSERT_TRUE(decoder.open());
    EXPECT_EQ(decoder.lengthSeconds(), 5);
    EXPECT_EQ(decoder.inputSize(), bytes.size());

    const Decoded decoded = decodeAll(decoder);
    EXPECT_EQ(decoded.bytes, Decoder::kStereoFrameBytes);
    // Gapless: exactly the encoded samples, the last frame padded with silence.
    EXPECT_EQ(decoded.frames, (5 * 44100 + 1151) / 1152);
    EXPECT_FLOAT_EQ(decoded.positions.front(), 0.0f);
    for (std::size_t i = 1; i < decoded.positions.size(); ++i) {
        EXPECT_NEAR(decoded.positions[i] - decoded.positions[i - 1], 1152.0 / (5 * 44100), 1e-6);
    }
}

TEST_F(Mpg123DecoderTest, VbrFileReportsItsTrueLength) {
    decoder.newInput(file("vbr.mp3", encodeMp3(drums(128, 7.5), {.vbr = true})).c_str());
    ASSERT_TRUE(decoder.open());
    EXPECT_EQ(decoder.lengthSeconds(), 7);
    EXPECT_EQ(decodeAll(decoder).frames, (7 * 44100 + 22050 + 1151) / 1152);
}

TEST_F(Mpg123DecoderTest, MonoFileGivesHalfSizedFrames) {
    decoder.newInput(file("mono.mp3", encodeMp3(tone(440, 3.0, 44100, 1))).c_str());
    ASSERT_TRUE(decoder.open());
    const Decoded decoded = decodeAll(decoder);
    EXPECT_EQ(decoded.bytes, Decoder::kMonoFrameBytes);
    EXPECT_EQ(decoded.frames, (3 * 44100 + 1151) / 1152);
}

// Other rates are converted to 44100 Hz, so the track lasts as long as it should.
TEST_F(Mpg123DecoderTest, OtherSampleRatesPlayAtTheirTrueSpeed) {
    for (const int rate : {48000, 32000, 22050}) {
        SCOPED_TRACE(rate);
        const std::string path = file("rate" + std::to_string(rate) + ".mp3",
                                      encodeMp3(tone(1000, 4.5, rate), {.kbps = 64}));
        decoder.newInput(path.c_str());
        ASSERT_TRUE(decoder.open());
        EXPECT_EQ(decoder.lengthSeconds(), 4);
        const Decoded decoded = decodeAll(decoder);
        EXPECT_EQ(decoded.bytes, Decoder::kStereoFrameBytes);
        EXPECT_NEAR(decoded.frames * 1152.0 / 44100.0, 4.5, 1152.0 / 44100.0 + 0.01);

        // Still a 1000 Hz tone: count rising zero crossings over one second in the middle.
        int crossings = 0;
        for (int i = 44100; i < 2 * 44100; ++i) {
            crossings += decoded.samples[2 * i] < 0 && decoded.samples[2 * i + 2] >= 0;
        }
        EXPECT_NEAR(crossings, 1000, 5);
    }
}

TEST_F(Mpg123DecoderTest, SeekResumesAtTheRequestedSample) {
    Pcm ramp = silence(4.0);
    for (int i = 0; i < ramp.frames(); ++i) {
        ramp.samples[2 * i] = ramp.samples[2 * i + 1] =
            static_cast<int16_t>(8000 * std::sin(i * 0.01));
    }
    decoder.newInput(file("ramp.mp3", encodeMp3(ramp, {.kbps = 320})).c_str());
    ASSERT_TRUE(decoder.open());
    const Decoded whole = decodeAll(decoder);

    decoder.seekTo(0.5f);
    EXPECT_NEAR(decoder.streamPosition(), 0.5f, 1e-6);
    std::vector<int16_t> frame(2 * Decoder::kFrameSamples);
    ASSERT_EQ(decoder.decode(frame.data()), Decoder::kDecoded);
    const int at = 2 * 44100;
    for (int i = 0; i < 100; ++i) {
        EXPECT_NEAR(frame[2 * i], whole.samples[2 * (at + i)], 2) << i;
    }
}

TEST_F(Mpg123DecoderTest, TruncatedFilePlaysUpToTheCut) {
    decoder.newInput(file("cut.mp3", truncated(encodeMp3(drums(120, 6.0)), 0.5)).c_str());
    ASSERT_TRUE(decoder.open());
    EXPECT_NEAR(decodeAll(decoder).frames * 1152.0 / 44100.0, 3.0, 0.1);
}

TEST_F(Mpg123DecoderTest, ShortDamageInTheMiddleIsSkipped) {
    const auto clean = encodeMp3(drums(120, 6.0));
    decoder.newInput(file("scratched.mp3", damaged(clean, clean.size() / 2, 3000, 3)).c_str());
    ASSERT_TRUE(decoder.open());
    // Only the frames of the damaged bytes are lost.
    EXPECT_GT(decodeAll(decoder).frames * 1152.0 / 44100.0, 5.5);
}

TEST_F(Mpg123DecoderTest, LongDamageEndsDecodingQuietly) {
    const auto clean = encodeMp3(drums(120, 20.0));
    const auto bytes = damaged(clean, clean.size() / 4, clean.size() / 2, 5);
    decoder.newInput(file("ruined.mp3", bytes).c_str());
    ASSERT_TRUE(decoder.open());
    const double seconds = decodeAll(decoder).frames * 1152.0 / 44100.0;
    EXPECT_GT(seconds, 4.0);
    EXPECT_LT(seconds, 20.0);
}

TEST_F(Mpg123DecoderTest, StreamSwitchingToStereoKeepsItsFrameSize) {
    auto both = encodeMp3(tone(440, 2.0, 44100, 1));
    const auto stereo = encodeMp3(tone(440, 2.0, 44100, 2));
    both.insert(both.end(), stereo.begin(), stereo.end());
    decoder.newInput(file("switch.mp3", both).c_str());
    ASSERT_TRUE(decoder.open());
    const Decoded decoded = decodeAll(decoder);
    EXPECT_EQ(decoded.bytes, Decoder::kMonoFrameBytes);
    EXPECT_GT(decoded.frames * 1152.0 / 44100.0, 3.5);
}

}  // namespace
