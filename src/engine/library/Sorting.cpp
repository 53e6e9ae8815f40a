#include "engine/library/Sorting.h"

#include <cmath>

namespace {

constexpr int kReversed = 8;

unsigned char lowered(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

// A BPM that is not a number sorts as unknown (0), so that the order stays consistent.
double sortableBpm(float bpm) {
    return std::isfinite(bpm) ? bpm : 0.0;
}

// BPM values less than 0.01 apart are equal.
int compareBpm(float first, float second) {
    const double hundredths = (sortableBpm(first) - sortableBpm(second)) * 100;
    return hundredths >= 1 ? 1 : (hundredths <= -1 ? -1 : 0);
}

}  // namespace

int compareText(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (lowered(a[i]) != lowered(b[i])) {
            return lowered(a[i]) < lowered(b[i]) ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int compareItems(const BrowserItem& a, const BrowserItem& b, int key) {
    if (key >= kReversed) {
        return compareItems(b, a, key - kReversed);
    }
    return key == 2 ? compareBpm(b.bpm, a.bpm) : 0;
}

int nextSortKey(int column, int lastKey) {
    return column == lastKey ? column + kReversed : column;
}
