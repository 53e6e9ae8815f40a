#include "app/AnalysisProgress.h"

#include <cmath>
#include <cstdio>

void AnalysisProgress::trackDone(std::uintmax_t bytes, double audioSeconds) {
    ++tracksDone_;
    bytesDone_ += bytes;
    audioSecondsDone_ += audioSeconds;
}

std::string AnalysisProgress::line(double elapsedSeconds) const {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%zu/%zu tracks, %.2f h of audio", tracksDone_, tracks_,
                  audioSecondsDone_ / 3600.0);
    std::string text = buffer;
    if (elapsedSeconds <= 0) {
        return text;
    }
    if (audioSecondsDone_ > 0) {
        std::snprintf(buffer, sizeof buffer, ", %.0fx real time",
                      audioSecondsDone_ / elapsedSeconds);
        text += buffer;
    }
    if (bytesDone_ > 0 && tracksDone_ < tracks_) {
        const double bytesLeft = static_cast<double>(bytes_ > bytesDone_ ? bytes_ - bytesDone_ : 0);
        const auto left = static_cast<long>(
            std::lround(elapsedSeconds * bytesLeft / static_cast<double>(bytesDone_)));
        if (left >= 3600) {
            std::snprintf(buffer, sizeof buffer, ", %ld:%02ld:%02ld left", left / 3600,
                          left / 60 % 60, left % 60);
        } else {
            std::snprintf(buffer, sizeof buffer, ", %ld:%02ld left", left / 60, left % 60);
        }
        text += buffer;
    }
    return text;
}
