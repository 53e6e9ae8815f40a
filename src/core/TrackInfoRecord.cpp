#include "core/TrackInfoRecord.h"

#include "core/SharedValue.h"

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

namespace {

bool isPosition(float value) {
    return value >= 0.0f && value <= 1.0f;  // false for NaN too
}

}  // namespace

TrackInfoRecord repairedRecord(TrackInfoRecord record) {
    if (!(record.bpm == 0.0f || (record.bpm > 1.0f && record.bpm < 999.0f))) {
        record.bpm = 0.0f;
        record.bpmVotes = 0;
    }
    if (!isPosition(record.startPosition)) {
        record.startPosition = 0.0f;
        record.startStrength = 0;
    }
    if (!isPosition(record.endPosition)) {
        record.endPosition = 0.0f;
        record.endStrength = 0;
    }
    if (!isPosition(record.cuePosition)) {
        record.cuePosition = 0.0f;
    }
    if (record.dateStamp < 0) {
        record.dateStamp = 1;
    }
    return record;
}

namespace {

// Applies copy(to.field, from.field) to every field.
template <class Copy>
void copyFields(TrackInfoRecord& to, const TrackInfoRecord& from, Copy copy) {
    copy(to.sizeKey, from.sizeKey);
    copy(to.nameHash, from.nameHash);
    copy(to.bpm, from.bpm);
    copy(to.startPosition, from.startPosition);
    copy(to.endPosition, from.endPosition);
    copy(to.cuePosition, from.cuePosition);
    copy(to.startStrength, from.startStrength);
    copy(to.endStrength, from.endStrength);
    copy(to.bpmVotes, from.bpmVotes);
    copy(to.peakLevel, from.peakLevel);
    copy(to.dateStamp, from.dateStamp);
    copy(to.optimizedDetection, from.optimizedDetection);
}

}  // namespace

void publishRecord(TrackInfoRecord& shared, const TrackInfoRecord& value) {
    copyFields(shared, value, [](auto& to, const auto& from) { storeShared(to, from); });
}

TrackInfoRecord snapshotRecord(const TrackInfoRecord& shared) {
    TrackInfoRecord copy;
    copyFields(copy, shared, [](auto& to, const auto& from) { to = loadShared(from); });
    return copy;
}
