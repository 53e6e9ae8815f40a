#include "deck/TrackInfoRecord.h"

#include "deck/SharedValue.h"

int32_t nameHash(std::string_view path) {
    uint32_t sum = 0;  // unsigned so that an absurdly long name wraps instead of overflowing
    for (char c : path) {
        if (c == '\\' || c == '/') {
            sum = 0;
        } else {
            sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
        }
    }
    return static_cast<int32_t>(sum);
}

int32_t dateStamp(int year, int month, int day) {
    return (year * 16 + month) * 64 + day;
}

TrackInfoRecord freshRecord(std::string_view path, int32_t sizeKey) {
    TrackInfoRecord record{};
    record.sizeKey = sizeKey;
    record.nameHash = nameHash(path);
    record.peakLevel = 1;
    return record;
}

void publishRecord(TrackInfoRecord& shared, const TrackInfoRecord& value) {
    storeShared(shared.sizeKey, value.sizeKey);
    storeShared(shared.nameHash, value.nameHash);
    storeShared(shared.bpm, value.bpm);
    storeShared(shared.startPosition, value.startPosition);
    storeShared(shared.endPosition, value.endPosition);
    storeShared(shared.cuePosition, value.cuePosition);
    storeShared(shared.startStrength, value.startStrength);
    storeShared(shared.endStrength, value.endStrength);
    storeShared(shared.bpmVotes, value.bpmVotes);
    storeShared(shared.peakLevel, value.peakLevel);
    storeShared(shared.dateStamp, value.dateStamp);
    storeShared(shared.optimizedDetection, value.optimizedDetection);
}

TrackInfoRecord snapshotRecord(const TrackInfoRecord& shared) {
    TrackInfoRecord copy;
    copy.sizeKey = loadShared(shared.sizeKey);
    copy.nameHash = loadShared(shared.nameHash);
    copy.bpm = loadShared(shared.bpm);
    copy.startPosition = loadShared(shared.startPosition);
    copy.endPosition = loadShared(shared.endPosition);
    copy.cuePosition = loadShared(shared.cuePosition);
    copy.startStrength = loadShared(shared.startStrength);
    copy.endStrength = loadShared(shared.endStrength);
    copy.bpmVotes = loadShared(shared.bpmVotes);
    copy.peakLevel = loadShared(shared.peakLevel);
    copy.dateStamp = loadShared(shared.dateStamp);
    copy.optimizedDetection = loadShared(shared.optimizedDetection);
    return copy;
}
