#pragma once

#include <cstdint>
#include <string_view>

// What the program learned about one MP3 file. Stored unchanged, 48 bytes little-endian, as one
// entry of "Spinora.idb".
struct TrackInfoRecord {
    int32_t sizeKey;  // file size (low 32 bits); 0 = no track
    int32_t nameHash;
    float bpm;            // global tempo in BPM; 0 = not measured
    float startPosition;  // stream positions, 0..1
    float endPosition;
    float cuePosition;  // 0 = none
    int32_t startStrength;
    int32_t endStrength;
    int32_t bpmVotes;
    int32_t peakLevel;
    int32_t dateStamp;
    int32_t optimizedDetection;
};
static_assert(sizeof(TrackInfoRecord) == 48, "the stored record layout is 48 bytes");

// A bpmVotes value no analysis run can reach: the user fixed the tempo by hand.
inline constexpr int32_t kLockedBpmVotes = 2147483647;

// Sum of the file name's characters as signed bytes; both '/' and '\' end a folder name, so a
// record follows its file when the folder changes.
int32_t nameHash(std::string_view path);

// (year x 16 + month) x 64 + day. Thread: any, like every function here.
int32_t dateStamp(int year, int month, int day);

// The record of a file never seen before.
TrackInfoRecord freshRecord(std::string_view path, int32_t sizeKey);

// The record with every value that no analysis can give made harmless, so that a damaged file
// cannot drive the panels or the decoder out of range: a position that is not a number from 0 to
// 1 becomes 0 (none, as in a fresh record) and its confidence 0, so that the next analysis finds
// it again; a tempo that is not a number above 1 and below 999 BPM (what the panels can show)
// becomes 0 (not measured) with no votes; a negative date, which the browser would take for a
// playlist or a played track, becomes 1, the oldest date. Any thread.
TrackInfoRecord repairedRecord(TrackInfoRecord record);

// Copies between a record another thread reads or writes field by field (a deck's current
// record) and a private copy. Thread: any; the shared record may be written meanwhile.
void publishRecord(TrackInfoRecord& shared, const TrackInfoRecord& value);
TrackInfoRecord snapshotRecord(const TrackInfoRecord& shared);
