#pragma once

#include <sndfile.h>

#include <cstdint>
#include <filesystem>
#include <vector>

// The 16-bit samples of a sound file, interleaved, with what the file says of itself in `info`;
// empty when it cannot be read. For the tests that link libsndfile.
inline std::vector<int16_t> readSound(const std::filesystem::path& file, SF_INFO& info) {
    info = {};
    SNDFILE* sound = sf_open(file.c_str(), SFM_READ, &info);
    if (sound == nullptr) {
        return {};
    }
    std::vector<int16_t> pcm(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_short(sound, pcm.data(), info.frames);
    sf_close(sound);
    return pcm;
}
