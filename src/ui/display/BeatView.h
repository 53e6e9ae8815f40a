#pragma once

#include <cstdint>

#include "ui/display/Surface.h"

// The beat view: 735 columns of 243 pixels, for each column the bars of the selected deck and of
// the other one standing on the bottom row, in three colours given as 16-bit 5-5-5 words.
namespace beatview {

constexpr int kWidth = 735;
constexpr int kHeight = 243;
constexpr int kLeft = 32;
constexpr int kTop = 46;

constexpr uint16_t kBoth = 0xCF00;            // covered by both bars
constexpr uint16_t kSelectedHigher = 0x0F00;  // the selected deck's bar above the other's
constexpr uint16_t kOtherHigher = 0xC000;     // the other deck's bar above the selected one's

// Draws both bars into 32-bit pixels (rgbFrom555 colours; rows of stride words, top row first)
// spread over width x height pixels, as the kWidth x kHeight view scaled to that size; everything
// else is black.
void render(const int16_t* other, const int16_t* selected, uint32_t* pixels, int width, int height,
            int stride);

}  // namespace beatview
