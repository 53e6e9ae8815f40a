// The MP3 decoder on damaged data: whatever the bytes and the seeks, its frames and positions stay
// in range.
#include <cmath>

#include "FuzzFiles.h"
#include "platform/Mpg123Decoder.h"

// The input: a seek script (its length in the first byte, a seek per byte), then the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t seeks = std::min<std::size_t>(data[0] % 8, size - 1);
    const uint8_t* script = data + 1;
    const std::string path = writeFuzzFile("track.mp3", script + seeks, size - 1 - seeks);

    Mpg123Decoder decoder;
    decoder.newInput(path.c_str());
    if (!decoder.open()) {
        return 0;
    }
    FUZZ_CHECK(decoder.inputSize() == size - 1 - seeks);
    FUZZ_CHECK(decoder.lengthSeconds() >= 0);
    static int16_t frame[2 * Decoder::kFrameSamples + 64];
    frame[2 * Decoder::kFrameSamples] = 0x5A5A;
    for (std::size_t step = 0; step <= seeks; ++step) {
        // Each run decodes a few frames, into the frame or discarded, then seeks.
        for (int i = 0; i < 40; ++i) {
            const int result = decoder.decode(i % 3 == 2 ? nullptr : frame);
            if (result == Decoder::kEnded) {
                break;
            }
            FUZZ_CHECK(result == Decoder::kDecoded || result == Decoder::kTryAgain);
            if (result == Decoder::kDecoded) {
                FUZZ_CHECK(decoder.frameBytes() == Decoder::kStereoFrameBytes ||
                           decoder.frameBytes() == Decoder::kMonoFrameBytes);
            }
            const float position = decoder.streamPosition();
            FUZZ_CHECK(position >= 0.0f && position <= 1.0f);
        }
        if (step < seeks) {
            // 0 to 1 in steps, with a value past the end and one that is not a number.
            const uint8_t byte = script[step];
            const float to = byte == 255 ? NAN : static_cast<float>(byte) / 200.0f;
            decoder.seekTo(to);
        }
    }
    FUZZ_CHECK(frame[2 * Decoder::kFrameSamples] == 0x5A5A);
    return 0;
}
