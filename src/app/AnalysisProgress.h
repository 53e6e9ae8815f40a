#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The progress line of spinora-analyze on a terminal: tracks done of all, hours of audio done,
// the speed in times real time, and the time left, judged from the bytes still to analyse since
// track lengths are only known once analysed.
class AnalysisProgress {
  public:
    AnalysisProgress(std::size_t tracks, std::uintmax_t bytes) : tracks_(tracks), bytes_(bytes) {}

    // A track is done, analysed or not: its file's size and its length (0 when not analysed).
    void trackDone(std::uintmax_t bytes, double audioSeconds);
    // The line after elapsedSeconds of wall-clock time, without a line end.
    std::string line(double elapsedSeconds) const;

  private:
    std::size_t tracks_;
    std::uintmax_t bytes_;
    std::size_t tracksDone_ = 0;
    std::uintmax_t bytesDone_ = 0;
    double audioSecondsDone_ = 0;
};
