#include "engine/beat/BeatTables.h"

#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;

BeatTables buildTables() {
    BeatTables tables{};
    // A chirp falling from 0.2 to about 0.05 cycles per beat slot (245 Hz to 62 Hz).
    for (int i = 0; i < BeatTables::kTemplateLength; ++i) {
        tables.kickTemplate[i] =
            static_cast<int16_t>(std::sin(std::log(i + 50.0) * 62.83185307179586) * 256.0);
    }
    // Each kernel starts at 0.25 cycles per slot and slows to a third of that; the shorter ones
    // fall faster.
    for (int i = 0; i < BeatTables::kKernelCount; ++i) {
        const double b = static_cast<float>(std::pow(2.0, i * 0.125 - 2.65));
        const int length = static_cast<int>(8.0 / b);
        tables.kernelLength[i] = length;
        for (int j = 0; j < length; ++j) {
            tables.kernelBank[i][j] = static_cast<int16_t>(
                std::sin(std::log(b * j * 0.25 + 1.0) * (kTwoPi / b)) * 4096.0 / std::sqrt(length));
        }
    }
    return tables;
}

}  // namespace

const BeatTables& beatTables() {
    static const BeatTables tables = buildTables();
    return tables;
}
