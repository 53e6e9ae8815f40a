#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Synthetic audio for tests and benchmarks: 16-bit PCM, interleaved when stereo.
struct Pcm {
    int sampleRate = 44100;
    int channels = 2;
    std::vector<int16_t> samples;

    int frames() const { return static_cast<int>(samples.size()) / channels; }
    double seconds() const { return static_cast<double>(frames()) / sampleRate; }
};

Pcm silence(double seconds, int sampleRate = 44100, int channels = 2);
Pcm tone(double hz, double seconds, int sampleRate = 44100, int channels = 2,
         double amplitude = 12000);
// A short click (a 3 ms burst of hz) on every beat.
Pcm clicks(double bpm, double seconds, double hz = 1000, int sampleRate = 44100, int channels = 2);
// A kick drum on every beat: a low sine falling in pitch, with no step larger than a low tone's.
Pcm kicks(double bpm, double seconds, int sampleRate = 44100, int channels = 2);
// A kick drum on every beat, a snare on beats 2 and 4 and a closed hi-hat between the beats.
Pcm drums(double bpm, double seconds, int sampleRate = 44100, int channels = 2);
// The parts one after the other; all must share rate and channels.
Pcm concat(const std::vector<Pcm>& parts);
// The parts played together (the length of the first).
Pcm mixed(const std::vector<Pcm>& parts);
Pcm scaled(Pcm pcm, double factor);

// The largest difference between neighbouring samples of one channel, over the stereo frames
// [from, to) of interleaved stereo samples.
int largestStep(const std::vector<int16_t>& stereo, std::size_t from, std::size_t to);
