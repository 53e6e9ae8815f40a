#include "engine/sound/PeakLimiter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr int32_t kFullScale = std::numeric_limits<int16_t>::max();
constexpr float kReleaseRate = 1.0f / PeakLimiter::kReleaseFrames;

}  // namespace

void PeakLimiter::write(const int32_t* sum, int16_t* out, int width, float gain) {
    for (int c = 0; c < width; ++c) {
        const int32_t v = gain == 1.0f ? sum[c] : static_cast<int32_t>(std::lrint(sum[c] * gain));
        // The gain keeps every sample in range; the clamp only guards the conversion.
        out[c] = static_cast<int16_t>(std::clamp<int32_t>(v, -kFullScale - 1, kFullScale));
    }
}

void PeakLimiter::apply(const int32_t* sum, int16_t* out, int frames, int stride, int width) {
    // Every sample over full scale bounds the gain of its frame. The gain moves in a straight
    // line from where the last block left it: down as gently as the bounds allow (a peak that
    // builds up slowly is met by a slow fall, a sudden one by the time it arrives), or up no
    // faster than the release rate and the bounds allow.
    const float from = gain_;
    bool over = false;
    float need = from;
    float fall = 0.0f;
    float rise = kReleaseRate;
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < width; ++c) {
            const int32_t magnitude = std::abs(sum[i * stride + c]);
            if (magnitude > kFullScale) {
                over = true;
                const float allowed = static_cast<float>(kCeiling) / static_cast<float>(magnitude);
                need = std::min(need, allowed);
                const float slope = (allowed - from) / static_cast<float>(i + 1);
                fall = std::max(fall, -slope);
                rise = std::min(rise, slope);
            }
        }
    }
    if (fall > 0.0f) {
        hold_ = kHoldFrames;
        for (int i = 0; i < frames; ++i) {
            const float gain = std::max(need, from - fall * static_cast<float>(i + 1));
            write(sum + i * stride, out + i * stride, width, gain);
        }
        gain_ = need;
        return;
    }
    if (!over && from == 1.0f) {
        for (int i = 0; i < frames; ++i) {
            write(sum + i * stride, out + i * stride, width, 1.0f);
        }
        return;
    }
    for (int i = 0; i < frames; ++i) {
        if (hold_ > 0) {
            --hold_;
        } else {
            gain_ = std::min(1.0f, gain_ + rise);
        }
        write(sum + i * stride, out + i * stride, width, gain_);
    }
}
