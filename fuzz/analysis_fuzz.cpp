// A deck analysing a damaged track: the record it learns holds only values a record may hold.
#include <cstring>

#include "FuzzFiles.h"
#include "engine/deck/TrackAnalysis.h"
#include "platform/Mpg123Decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int32_t optimized = data[0] & 1;
    const std::string path = writeFuzzFile("track.mp3", data + 1, size - 1);
    const TrackAnalysis analysis = analyseTrack(path, optimized, makeMpg123Decoder);

    FUZZ_CHECK(analysis.status == kDeckNormal || analysis.status == kDeckDecodingError ||
               analysis.status == kDeckCannotOpen);
    const TrackInfoRecord& r = analysis.record;
    const TrackInfoRecord repaired = repairedRecord(r);
    FUZZ_CHECK(std::memcmp(&repaired, &r, sizeof r) == 0);
    if (analysis.status == kDeckNormal) {
        FUZZ_CHECK(r.sizeKey == static_cast<int32_t>(size - 1));
        FUZZ_CHECK(r.optimizedDetection == optimized);
        FUZZ_CHECK(analysis.durationSeconds >= 0);
    }
    return 0;
}
