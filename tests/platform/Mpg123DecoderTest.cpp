#include "platform/Mpg123Decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

// The RMS of the loudest 23 ms (1024 samples) window.
double loudestWindow(const Decoded& decoded) {
    const int channels = decoded.bytes / 2 / Decoder::kFrameSamples;
    const std::size_t window = 1024 * static_cast<std::size_t>(channels);
    double loudest = 0;
    for (std::size_t at = 0; at + window <= decoded.samples.size(); at += window) {
        double sum = 0;
        for (std::size_t i = at; i < at + window; ++i) {
            sum += static_cast<double>(decoded.samples[i]) * decoded.samples[i];
        }
        loudest = std::max(loudest, std::sqrt(sum / static_cast<double>(window)));
    }
    return loudest;
}

class Mpg123DecoderTest : public ::testing::Test {
  protected:
    // Writes the file and opens it.
    bool open(const std::string& name, const std::vector<uint8_t>& bytes) {
        decoder.newInput(dir.write(name, bytes).c_str());
        return decoder.open();
    }
    TempDir dir;
    Mpg123Decoder decoder;
};

// Gapless: exactly the encoded samples in whole frames, the last one padded with silence.
TEST_F(Mpg123DecoderTest, DeliversWholeFramesWithLengthSizeAndRisingPositions) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        int lengthSeconds;
        int samples;
    };
    const Case cases[] = {
        {"drums", encodeMp3(drums(120, 5.0)), 5, 5 * 44100},
        {"vbr", encodeMp3(drums(128, 7.5), {.vbr = true}), 7, 7 * 44100 + 22050},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(open(std::string(c.name) + ".mp3", c.bytes));
        EXPECT_EQ(decoder.lengthSeconds(), c.lengthSeconds);
        EXPECT_EQ(decoder.inputSize(), c.bytes.size());
        const Decoded decoded = decodeAll(decoder);
        EXPECT_EQ(decoded.bytes, Decoder::kStereoFrameBytes);
        EXPECT_EQ(decoded.frames, (c.samples + 1151) / 1152);
        EXPECT_FLOAT_EQ(decoded.positions.front(), 0.0f);
        for (std::size_t i = 1; i < decoded.positions.size(); ++i) {
            ASSERT_NEAR(decoded.positions[i] - decoded.positions[i - 1], 1152.0 / c.samples, 1e-6);
        }
    }
}

// Other rates are converted to 44100 Hz, so the track lasts as long as it should.
TEST_F(Mpg123DecoderTest, OtherSampleRatesPlayAtTheirTrueSpeed) {
    for (const int rate : {48000, 32000, 22050}) {
        SCOPED_TRACE(rate);
        ASSERT_TRUE(open("rate" + std::to_string(rate) + ".mp3",
                         encodeMp3(tone(1000, 4.5, rate), {.kbps = 64})));
        EXPECT_EQ(decoder.lengthSeconds(), 4);
        const Decoded decoded = decodeAll(decoder);
        EXPECT_EQ(decoded.bytes, Decoder::kStereoFrameBytes);
        EXPECT_NEAR(decoded.frames * 1152.0 / 44100.0, 4.5, 1152.0 / 44100.0 + 0.01);
    }
}

TEST_F(Mpg123DecoderTest, SeekResumesAtTheRequestedSampleAndStaysInTheTrack) {
    Pcm ramp = silence(4.0);
    for (int i = 0; i < ramp.frames(); ++i) {
        ramp.samples[2 * i] = ramp.samples[2 * i + 1] =
            static_cast<int16_t>(8000 * std::sin(i * 0.01));
    }
    ASSERT_TRUE(open("ramp.mp3", encodeMp3(ramp, {.kbps = 320})));
    const Decoded whole = decodeAll(decoder);

    decoder.seekTo(0.5f);
    EXPECT_NEAR(decoder.streamPosition(), 0.5f, 1e-6);
    std::vector<int16_t> frame(2 * Decoder::kFrameSamples);
    ASSERT_EQ(decoder.decode(frame.data()), Decoder::kDecoded);
    const int at = 2 * 44100;
    for (int i = 0; i < 100; ++i) {
        EXPECT_NEAR(frame[2 * i], whole.samples[2 * (at + i)], 2) << i;
    }

    // Anything but a fraction stays in the track.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (const float fraction : {inf, 3e38f, nan, -inf, -1.0f}) {
        decoder.seekTo(0.5f);
        decoder.seekTo(fraction);
        EXPECT_EQ(decoder.streamPosition(), fraction > 0 ? 1.0f : 0.0f) << fraction;
    }
    EXPECT_EQ(decoder.decode(nullptr), Decoder::kDecoded);  // from the start
}

// Damage costs only the frames it hits: the rest of the track plays.
TEST_F(Mpg123DecoderTest, DamagedFilesPlayWhatIsLeft) {
    const auto six = encodeMp3(drums(120, 6.0));
    const auto thirty = encodeMp3(drums(120, 30.0));
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        double least;
        double most;
    };
    const Case cases[] = {
        {"cut", truncated(six, 0.5), 2.9, 3.1},
        {"scratched", damaged(six, six.size() / 2, 3000, 3), 5.5, 6.1},
        // Other decoders search on past a long run of zero bytes; so does this one, and the
        // length counts the rest of the track.
        {"zeros", inserted(thirty, thirty.size() / 2, std::vector<uint8_t>(100 * 1024, 0)), 29.8,
         30.2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(open(std::string(c.name) + ".mp3", c.bytes));
        if (std::string(c.name) == "zeros") {
            EXPECT_EQ(decoder.lengthSeconds(), 30);
        }
        const double seconds = decodeAll(decoder).frames * 1152.0 / 44100.0;
        EXPECT_GE(seconds, c.least);
        EXPECT_LE(seconds, c.most);
    }
}

// Noise that passes for frames must not blast out of the speakers: whatever libmpg123 finds in
// the junk, and the frames next to it that may draw on it, stay quieter than the track.
TEST_F(Mpg123DecoderTest, RandomBytesInTheMiddleAreNeverLouderThanTheTrack) {
    const auto clean = encodeMp3(drums(120, 12.0));
    ASSERT_TRUE(open("clean.mp3", clean));
    const double loudest = loudestWindow(decodeAll(decoder));
    const std::size_t middle = clean.size() / 2;
    for (const unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        const auto noise = randomBytes(300 * 1024, seed);
        const std::pair<const char*, std::vector<uint8_t>> damages[] = {
            {"inserted", inserted(clean, middle, noise)},
            {"overwritten", damaged(clean, middle, 20000, seed)}};
        for (const auto& [name, bytes] : damages) {
            ASSERT_TRUE(open(name + std::to_string(seed) + ".mp3", bytes));
            const Decoded decoded = decodeAll(decoder);
            EXPECT_LE(loudestWindow(decoded), 1.05 * loudest) << name;
            EXPECT_GT(decoded.frames * 1152.0 / 44100.0, 10.5) << name;  // the rest still plays
        }
    }
}

}  // namespace
