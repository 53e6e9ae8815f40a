#include "ui/display/BeatView.h"

#include <algorithm>

namespace beatview {

void render(const int16_t* other, const int16_t* selected, uint16_t* pixels, int stride) {
    for (int row = 0; row < kHeight; ++row) {
        std::fill_n(pixels + row * stride, kWidth, uint16_t{0});
    }
    for (int column = 0; column < kWidth; ++column) {
        const int o = other[column];
        const int s = selected[column];
        const int shared = std::min(o, s);
        const uint16_t above = o < s ? kSelectedHigher : kOtherHigher;
        for (int h = 0; h < std::max(o, s); ++h) {
            pixels[(kHeight - 1 - h) * stride + column] = h < shared ? kBoth : above;
        }
    }
}

}  // namespace beatview
