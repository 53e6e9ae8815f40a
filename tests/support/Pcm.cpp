#include "Pcm.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

namespace {

constexpr double kPi = 3.14159265358979323846;

Pcm blank(double seconds, int sampleRate = 44100, int channels = 2) {
    Pcm pcm;
    pcm.sampleRate = sampleRate;
    pcm.channels = channels;
    pcm.samples.assign(static_cast<std::size_t>(std::lround(seconds * sampleRate)) * channels, 0);
    return pcm;
}

void add(Pcm& pcm, int frame, double value) {
    const int16_t sample = static_cast<int16_t>(std::clamp(value, -32767.0, 32767.0));
    for (int c = 0; c < pcm.channels; ++c) {
        auto& s = pcm.samples[static_cast<std::size_t>(frame) * pcm.channels + c];
        s = static_cast<int16_t>(std::clamp(s + sample, -32767, 32767));
    }
}

// Calls render(offset in seconds) for every frame of each beat's sound, starting at every beat.
template <class Render>
void onEveryBeat(Pcm& pcm, double bpm, double offsetBeats, double length, Render render) {
    const double period = 60.0 / bpm;
    const int lengthFrames = static_cast<int>(length * pcm.sampleRate);
    for (int beat = 0;; ++beat) {
        const int start =
            static_cast<int>(std::lround((beat + offsetBeats) * period * pcm.sampleRate));
        if (start >= pcm.frames()) {
            break;
        }
        for (int i = 0; i < lengthFrames && start + i < pcm.frames(); ++i) {
            add(pcm, start + i, render(beat, static_cast<double>(i) / pcm.sampleRate));
        }
    }
}

}  // namespace

Pcm silence(double seconds) {
    return blank(seconds);
}

Pcm tone(double hz, double seconds, int sampleRate, int channels, double amplitude) {
    Pcm pcm = blank(seconds, sampleRate, channels);
    for (int i = 0; i < pcm.frames(); ++i) {
        add(pcm, i, amplitude * std::sin(2.0 * kPi * hz * i / sampleRate));
    }
    return pcm;
}

Pcm clicks(double bpm, double seconds, double hz, int sampleRate) {
    Pcm pcm = blank(seconds, sampleRate);
    onEveryBeat(pcm, bpm, 0.0, 0.003,
                [hz](int, double t) { return 24000.0 * std::sin(2.0 * kPi * hz * t); });
    return pcm;
}

Pcm kicks(double bpm, double seconds) {
    Pcm pcm = blank(seconds);
    // A sine falling from 150 Hz to 50 Hz.
    onEveryBeat(pcm, bpm, 0.0, 0.25, [](int, double t) {
        const double phase = 2.0 * kPi * (50.0 * t + 100.0 * 0.03 * (1.0 - std::exp(-t / 0.03)));
        return 26000.0 * std::exp(-t / 0.12) * std::sin(phase);
    });
    return pcm;
}

Pcm drums(double bpm, double seconds) {
    Pcm pcm = kicks(bpm, seconds);
    std::mt19937 noise(1234);
    std::uniform_real_distribution<double> white(-1.0, 1.0);
    // Snare on 2 and 4: a tone and noise.
    onEveryBeat(pcm, bpm, 0.0, 0.15, [&](int beat, double t) {
        if (beat % 2 == 0) {
            return 0.0;
        }
        return std::exp(-t / 0.05) *
               (5000.0 * std::sin(2.0 * kPi * 190.0 * t) + 6000.0 * white(noise));
    });
    // Hi-hat between the beats.
    onEveryBeat(pcm, bpm, 0.5, 0.04,
                [&](int, double t) { return 3000.0 * std::exp(-t / 0.01) * white(noise); });
    return pcm;
}

Pcm concat(const std::vector<Pcm>& parts) {
    Pcm whole = parts.front();
    whole.samples.clear();
    for (const Pcm& part : parts) {
        whole.samples.insert(whole.samples.end(), part.samples.begin(), part.samples.end());
    }
    return whole;
}

Pcm mixed(const std::vector<Pcm>& parts) {
    Pcm sum = parts.front();
    for (std::size_t p = 1; p < parts.size(); ++p) {
        const std::size_t n = std::min(sum.samples.size(), parts[p].samples.size());
        for (std::size_t i = 0; i < n; ++i) {
            sum.samples[i] = static_cast<int16_t>(
                std::clamp(sum.samples[i] + parts[p].samples[i], -32767, 32767));
        }
    }
    return sum;
}

Pcm scaled(Pcm pcm, double factor) {
    for (int16_t& v : pcm.samples) {
        v = static_cast<int16_t>(v * factor);
    }
    return pcm;
}
