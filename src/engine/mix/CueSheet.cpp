#include "engine/mix/CueSheet.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int64_t kRate = 44100;
constexpr int64_t kCueFramesPerSecond = 75;

std::string quoted(std::string text) {
    std::replace(text.begin(), text.end(), '"', '\'');
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return "\"" + text + "\"";
}

}  // namespace

std::string cueTime(int64_t frames) {
    const int64_t cueFrames =
        (std::max<int64_t>(frames, 0) * kCueFramesPerSecond + kRate / 2) / kRate;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld",
                  static_cast<long long>(cueFrames / (60 * kCueFramesPerSecond)),
                  static_cast<long long>(cueFrames / kCueFramesPerSecond % 60),
                  static_cast<long long>(cueFrames % kCueFramesPerSecond));
    return text;
}

std::string cueSheet(const std::string& title, const std::string& audioFile,
                     const std::string& fileType, const std::vector<CueTrack>& tracks) {
    std::string sheet = "TITLE " + quoted(title) + "\n";
    sheet += "FILE " + quoted(audioFile) + " " + fileType + "\n";
    const std::size_t count = std::min(tracks.size(), kCueMaxTracks);
    for (std::size_t i = 0; i < count; ++i) {
        char number[24];
        std::snprintf(number, sizeof number, "%02zu", i + 1);
        sheet += std::string("  TRACK ") + number + " AUDIO\n";
        sheet += "    TITLE " + quoted(tracks[i].title) + "\n";
        if (!tracks[i].performer.empty()) {
            sheet += "    PERFORMER " + quoted(tracks[i].performer) + "\n";
        }
        // The first track's index must open the file.
        sheet += "    INDEX 01 " + cueTime(i == 0 ? 0 : tracks[i].startFrame) + "\n";
    }
    return sheet;
}

std::string trackListLine(std::size_t number, const CueTrack& track) {
    const int64_t seconds = std::max<int64_t>(track.startFrame, 0) / kRate;
    char head[96];
    std::snprintf(head, sizeof head, "%02zu  %lld:%02lld:%02lld  ", number,
                  static_cast<long long>(seconds / 3600), static_cast<long long>(seconds / 60 % 60),
                  static_cast<long long>(seconds % 60));
    return head + (track.performer.empty() ? track.title : track.performer + " - " + track.title);
}
