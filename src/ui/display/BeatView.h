#pragma once

#include <cstdint>

// The beat view: 735 columns of 243 pixels, for each column the bars of the selected deck and of
// the other one standing on the bottom row, in three 16-bit colour words.
namespace beatview {

constexpr int kWidth = 735;
constexpr int kHeight = 243;
constexpr int kLeft = 32;
constexpr int kTop = 46;

constexpr uint16_t kBoth = 0xCF00;            // covered by both bars
constexpr uint16_t kSelectedHigher = 0x0F00;  // the selected deck's bar above the other's
constexpr uint16_t kOtherHigher = 0xC000;     // the other deck's bar above the selected one's

// Draws both bars into pixels (rows of stride words, top row first); everything else is 0.
void render(const int16_t* other, const int16_t* selected, uint16_t* pixels, int stride);

}  // namespace beatview
