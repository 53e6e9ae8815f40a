#include "browser/Sorting.h"

#include "browser/TrackDatabase.h"

namespace {

constexpr int kReversed = 8;

unsigned char lowered(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

// BPM values less than 0.01 apart are equal.
int compareBpm(float first, float second) {
    return static_cast<int>((first - second) * 100);
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
    switch (key) {
        case -1:
            return b.kind - a.kind;
        case 0:
            return compareText(a.title, b.title);
        case 1:
            return compareText(a.artist, b.artist);
        case 2:
            return compareBpm(b.bpm, a.bpm);
        default:
            return 0;
    }
}

int compareLines(std::string_view a, std::string_view b, int key) {
    const int column = key % kReversed;
    const int result = compareText(databaseColumnText(a, column), databaseColumnText(b, column));
    return key < kReversed ? result : -result;
}

int nextSortKey(int column, int lastKey) {
    return column == lastKey ? column + kReversed : column;
}
