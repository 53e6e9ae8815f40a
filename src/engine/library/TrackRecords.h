#pragma once

#include <cstdint>
#include <string_view>

#include "core/TrackInfoRecord.h"

// The stored facts of the tracks (BPM, analysis date) that the lists show. Main thread only.
class TrackRecords {
  public:
    virtual ~TrackRecords() = default;
    // Fills out with the track's record, or with a fresh one (no BPM, no date) when it has none;
    // true when found. sizeKey is the file size in bytes, cut to 32 bits.
    virtual bool lookupTrack(std::string_view path, int32_t sizeKey,
                             TrackInfoRecord& out) const = 0;
};
