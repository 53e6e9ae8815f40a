#pragma once

#include <algorithm>
#include <array>
#include <vector>

#include "Pcm.h"
#include "engine/beat/BeatDetector.h"

constexpr int kFrame = 1152;

// Feeds a detector as a deck playing a track from its start does: each ring frame's stream
// position is in the frame table before the frame is fed.
class DetectorRig {
  public:
    explicit DetectorRig(int32_t optimized = 1)
        : detector(frameTable.data(), &decoding, optimized) {
        frameTable.fill(-1.0f);
    }

    void play(const Pcm& pcm) {
        const int frames = (pcm.frames() + kFrame - 1) / kFrame;
        std::vector<int16_t> frame(2 * kFrame);
        for (int f = 0; f < frames; ++f) {
            std::fill(frame.begin(), frame.end(), int16_t{0});
            const int available = std::min(kFrame, pcm.frames() - f * kFrame);
            std::copy_n(pcm.samples.begin() + 2 * f * kFrame, 2 * available, frame.begin());
            feed(frame, static_cast<float>(static_cast<double>(f) * kFrame / pcm.frames()));
        }
    }

    void feed(const std::vector<int16_t>& frame, float position) {
        frameTable[slot] = position;
        detector.feed(frame.data());
        slot = (slot + 1) % 128;
    }

    std::array<float, 128> frameTable{};
    int decoding = 1;
    BeatDetector detector;
    int slot = 0;
};
