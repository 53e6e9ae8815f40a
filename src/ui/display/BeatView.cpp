#include "ui/display/BeatView.h"

#include <algorithm>

namespace beatview {

void render(const int16_t* other, const int16_t* selected, uint32_t* pixels, int width, int height,
            int stride) {
    const uint32_t black = rgbFrom555(0);
    const uint32_t both = rgbFrom555(kBoth);
    const uint32_t selectedHigher = rgbFrom555(kSelectedHigher);
    const uint32_t otherHigher = rgbFrom555(kOtherHigher);
    for (int row = 0; row < height; ++row) {
        std::fill_n(pixels + row * stride, width, black);
    }
    // A pixel shows the view's pixel it falls on: a bar of h view pixels covers the device rows
    // below ceil(h * height / kHeight).
    const auto rows = [height](int viewRows) {
        return (viewRows * height + kHeight - 1) / kHeight;
    };
    uint32_t* bottom = pixels + (height - 1) * stride;
    for (int x = 0; x < width; ++x) {
        const int column = x * kWidth / width;
        const int o = other[column];
        const int s = selected[column];
        const int shared = rows(std::min(o, s));
        const int top = rows(std::max(o, s));
        const uint32_t above = o < s ? selectedHigher : otherHigher;
        for (int h = 0; h < top; ++h) {
            bottom[x - h * stride] = h < shared ? both : above;
        }
    }
}

}  // namespace beatview
