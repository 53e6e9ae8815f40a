#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

// Synthetic audio for tests and benchmarks: 16-bit PCM, interleaved when stereo.
struct Pcm {
    int sampleRate = 44100;
    int channels = 2;
    std::vector<int16_t> samples;

    int frames() const { return static_cast<int>(samples.size()) / channels; }
    double seconds() const { return static_cast<double>(frames()) / sampleRate; }
};

// Stereo at 44.1 kHz, unless another rate or channel count is given.
Pcm silence(double seconds);
Pcm tone(double hz, double seconds, int sampleRate = 44100, int channels = 2,
         double amplitude = 12000);
// A short click (a 3 ms burst of hz) on every beat.
Pcm clicks(double bpm, double seconds, double hz = 1000, int sampleRate = 44100);
// A kick drum on every beat: a low sine falling in pitch, with no step larger than a low tone's.
Pcm kicks(double bpm, double seconds);
// A kick drum on every beat, a snare on beats 2 and 4 and a closed hi-hat between the beats.
Pcm drums(double bpm, double seconds);
// The parts one after the other; all must share rate and channels.
Pcm concat(const std::vector<Pcm>& parts);
// The parts played together (the length of the first).
Pcm mixed(const std::vector<Pcm>& parts);
// Every sample times factor.
Pcm scaled(Pcm pcm, double factor);

// The largest change from one sample of a channel to the next, over frames [from, to).
template <class Sample>
int64_t largestStep(const std::vector<Sample>& samples, int channels, std::size_t from = 0,
                    std::size_t to = SIZE_MAX) {
    int64_t largest = 0;
    const std::size_t end = std::min(to, samples.size() / channels) * channels;
    for (std::size_t i = (from + 1) * channels; i < end; ++i) {
        largest = std::max<int64_t>(largest, std::abs(int64_t{samples[i]} - samples[i - channels]));
    }
    return largest;
}
