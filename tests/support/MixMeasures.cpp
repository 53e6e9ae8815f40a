#include "MixMeasures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kWindow = kCaptureRate / 5;
constexpr long kSilenceSpan = kCaptureRate / 10;
constexpr int kHeard = 300;

// Whether a 100 ms window from frame `at` holds anything heard.
bool heard(const std::vector<int16_t>& pcm, long at) {
    return std::any_of(pcm.begin() + 2 * at, pcm.begin() + 2 * (at + kSilenceSpan),
                       [](int16_t v) { return std::abs(v) > kHeard; });
}

}  // namespace

Pcm setTrackSound(const SetTrack& t, double seconds, bool snare) {
    return scaled(
        mixed({snare ? drums(t.bpm, seconds) : kicks(t.bpm, seconds),
               tone(t.toneHz, seconds, kCaptureRate, 2, 3000), clicks(t.bpm, seconds, t.clickHz)}),
        0.45);
}

double hannAmplitude(const std::vector<int16_t>& pcm, double hz, long from, long count) {
    double re = 0.0;
    double im = 0.0;
    for (long i = 0; i < count && 2 * (from + i) < static_cast<long>(pcm.size()); ++i) {
        const double weight = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / count);
        const double angle = 2.0 * M_PI * hz * i / kCaptureRate;
        re += weight * pcm[2 * (from + i)] * std::cos(angle);
        im += weight * pcm[2 * (from + i)] * std::sin(angle);
    }
    return 4.0 * std::hypot(re, im) / count;
}

std::vector<double> levels(const std::vector<int16_t>& pcm, double hz) {
    constexpr int kParts = 10;
    std::vector<double> out;
    for (long at = 0; 2 * (at + kWindow) <= static_cast<long>(pcm.size()); at += kWindow) {
        std::array<double, kParts> part;
        for (int j = 0; j < kParts; ++j) {
            part[j] = hannAmplitude(pcm, hz, at + j * kWindow / kParts, kCaptureRate / 50);
        }
        std::sort(part.begin(), part.end());
        out.push_back((part[kParts / 2 - 1] + part[kParts / 2]) / 2.0);
    }
    return out;
}

std::vector<double> onsets(const std::vector<int16_t>& pcm, double hz, double from, double to) {
    constexpr int kSpan = 132;   // 3 ms, a click's length
    constexpr int kHop = 11;     // 0.25 ms
    constexpr int kApart = 400;  // 100 ms in hops: clicks of one track are further apart
    // Read from kApart before to kApart after: a weaker burst just inside the window is no onset
    // when a click lies just outside it.
    constexpr double kMargin = static_cast<double>(kApart * kHop) / kCaptureRate;
    std::vector<double> energy;
    const long first = std::max(0L, static_cast<long>((from - kMargin) * kCaptureRate));
    for (long at = first; at < (to + kMargin) * kCaptureRate; at += kHop) {
        energy.push_back(hannAmplitude(pcm, hz, at, kSpan));
    }
    if (energy.empty()) {
        return {};
    }
    std::vector<double> sorted = energy;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double floor = 8.0 * sorted[sorted.size() / 2] + 50.0;
    std::vector<double> found;
    for (std::size_t i = 0; i < energy.size(); ++i) {
        const std::size_t lo = i >= kApart ? i - kApart : 0;
        const std::size_t hi = std::min(energy.size(), i + kApart);
        if (energy[i] < floor ||
            *std::max_element(energy.begin() + lo, energy.begin() + hi) != energy[i]) {
            continue;
        }
        // Back from the peak to where the burst crossed half of it, between two hops.
        std::size_t k = i;
        while (k > lo && energy[k - 1] >= 0.5 * energy[i]) {
            --k;
        }
        double at = static_cast<double>(k);
        if (k > lo) {
            at -= (energy[k] - 0.5 * energy[i]) / (energy[k] - energy[k - 1]);
        }
        const double seconds = (first + at * kHop) / kCaptureRate;
        if (seconds >= from && seconds < to) {
            found.push_back(seconds);
        }
        i += kApart;
    }
    return found;
}

Span heardTogether(const std::vector<int16_t>& pcm, double hzA, double hzB, double share) {
    const std::vector<double> a = levels(pcm, hzA);
    const std::vector<double> b = levels(pcm, hzB);
    const double aPeak = *std::max_element(a.begin(), a.end());
    const double bPeak = *std::max_element(b.begin(), b.end());
    Span span{-1.0, -1.0};
    for (std::size_t w = 0; w < a.size(); ++w) {
        if (a[w] > share * aPeak && b[w] > share * bPeak) {
            span.from = span.from < 0.0 ? w * 0.2 : span.from;
            span.to = (w + 1) * 0.2;
        }
    }
    return span.from < 0.0 ? Span{} : span;
}

double largestBeatOffset(const std::vector<double>& out, const std::vector<double>& in) {
    if (out.size() < 2 || in.size() < 2) {
        return -1.0;
    }
    double largest = 0.0;
    for (double t : in) {
        if (t < out.front() - 0.05 || t > out.back() + 0.05) {
            continue;  // the outgoing track is below hearing
        }
        double nearest = 1.0;
        for (double u : out) {
            nearest = std::min(nearest, std::abs(t - u));
        }
        largest = std::max(largest, nearest);
    }
    return largest;
}

double largestBeatOffset(const std::vector<int16_t>& pcm, const SetTrack& out, double outSpeed,
                         const SetTrack& in, double inSpeed) {
    const Span loud = heardTogether(pcm, out.toneHz * outSpeed, in.toneHz * inSpeed, 0.25);
    return largestBeatOffset(onsets(pcm, out.clickHz * outSpeed, loud.from, loud.to),
                             onsets(pcm, in.clickHz * inSpeed, loud.from, loud.to));
}

double longestSilence(const std::vector<int16_t>& pcm, double from) {
    std::vector<bool> sound;
    for (long at = static_cast<long>(from * kCaptureRate);
         2 * (at + kSilenceSpan) <= static_cast<long>(pcm.size()); at += kSilenceSpan) {
        sound.push_back(heard(pcm, at));
    }
    const auto last = std::find(sound.rbegin(), sound.rend(), true).base();
    int run = 0;
    int longest = 0;
    for (auto it = sound.begin(); it < last; ++it) {
        run = *it ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest * 0.1;
}

double firstSound(const std::vector<int16_t>& pcm) {
    const auto it =
        std::find_if(pcm.begin(), pcm.end(), [](int16_t v) { return std::abs(v) > kHeard; });
    return it == pcm.end() ? -1.0 : static_cast<double>((it - pcm.begin()) / 2) / kCaptureRate;
}
