#pragma once

#include <cstdint>
#include <vector>

#include "Pcm.h"

// Measures of a mix as played: stereo 16-bit samples at 44.1 kHz, each track told apart by the
// frequencies of its own tone and beat clicks.

inline constexpr int kCaptureRate = 44100;

// A track of a set: a tone and a beat click of its own, to be told apart in the mix, over kicks
// (and a snare with `snare`), under half scale so that two tracks together stay within full
// scale: the limiter then passes their sum as it is, and the levels read are the fades' own.
struct SetTrack {
    const char* name;
    double bpm, toneHz, clickHz;
};
Pcm setTrackSound(const SetTrack& track, double seconds, bool snare);

// The amplitude of a frequency in the left channel over `count` frames from `from`, under a Hann
// window.
double hannAmplitude(const std::vector<int16_t>& pcm, double hz, long from, long count);
// A frequency's level in each 200 ms window (the step of the mix): the median of its ten 20 ms
// readings, as the mix moves a deck by whole beat slots at its steps and one reading across a move
// would cancel itself.
std::vector<double> levels(const std::vector<int16_t>& pcm, double hz);
// Where, in seconds, the bursts of a click frequency start within a span: each where it first
// reaches half its own peak, whatever its level, so that two tracks at different volumes compare.
std::vector<double> onsets(const std::vector<int16_t>& pcm, double hz, double from, double to);
// The span, in seconds, from the first to the last 200 ms window in which two tones are both over
// `share` of their peaks; empty (from == to) when they never are.
struct Span {
    double from = 0.0, to = 0.0;
};
Span heardTogether(const std::vector<int16_t>& pcm, double hzA, double hzB, double share);
// Beats of two tracks together: for every onset of `in` within the span of those of `out`, the
// distance to the nearest of `out`; the largest, in seconds, or -1 when either has fewer than two.
double largestBeatOffset(const std::vector<double>& out, const std::vector<double>& in);
// The same for the clicks of two tracks, at these frequencies, while both their tones are over a
// quarter of their peaks: quieter, one track's clicks drown in the other's drums.
double largestBeatOffset(const std::vector<int16_t>& pcm, const SetTrack& out, double outSpeed,
                         const SetTrack& in, double inSpeed);
// The longest run, in seconds, of 100 ms windows in which nothing is heard, from `from` (seconds)
// to the last sound.
double longestSilence(const std::vector<int16_t>& pcm, double from = 0.0);
// Where the first sound comes, in seconds, or -1 when nothing is heard.
double firstSound(const std::vector<int16_t>& pcm);
