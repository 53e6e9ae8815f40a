#pragma once

#include <array>
#include <cstdint>

// The fixed chirps that onset detection matches against the envelope: a kick-drum template and a
// bank of 16 shorter chirps of different decay, among which the adaptive detector picks.
struct BeatTables {
    static constexpr int kTemplateLength = 150;
    static constexpr int kKernelCount = 16;
    static constexpr int kKernelCapacity = 128;

    std::array<int16_t, kTemplateLength> kickTemplate;
    std::array<std::array<int16_t, kKernelCapacity>, kKernelCount> kernelBank;  // zero-padded
    std::array<int32_t, kKernelCount> kernelLength;
};

// any: built once, without allocating, on first use: the first detector's construction.
const BeatTables& beatTables();
