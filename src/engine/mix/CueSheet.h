#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The CUE sheet of a rendered mix, so that players show its tracks. Pure functions: any thread.

struct CueTrack {
    std::string performer;
    std::string title;
    int64_t startFrame = 0;  // 44100 Hz frames into the mix
};

// A sheet holds 99 tracks at most.
inline constexpr std::size_t kCueMaxTracks = 99;

// "MM:SS:FF" with 75 frames a second, minutes going past 99 as long mixes need.
std::string cueTime(int64_t frames);

// The sheet for the audio file `audioFile` (named as written, without a folder), of type "WAVE"
// or "MP3"; `title` the whole mix's. Texts lose their line breaks, and double quotes, which
// a sheet cannot hold inside its quoted strings, become single ones. Tracks past kCueMaxTracks
// are left out. Lines end with a line feed.
std::string cueSheet(const std::string& title, const std::string& audioFile,
                     const std::string& fileType, const std::vector<CueTrack>& tracks);

// One line of the track list printed beside the sheet: "NN  H:MM:SS  Performer - Title", or the
// title alone when there is no performer.
std::string trackListLine(std::size_t number, const CueTrack& track);
