#include "engine/deck/TrackInfoStore.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>

#include "core/AtomicFile.h"
#include "core/RealTimeGuard.h"

static_assert(std::endian::native == std::endian::little,
              "records are stored in memory order, which must be little-endian");

TrackInfoStore::TrackInfoStore(std::filesystem::path file, int32_t optimizedDetection,
                               int32_t today)
    : file_(std::move(file)), optimizedDetection_(optimizedDetection), today_(today) {}

void TrackInfoStore::load() {
    const auto lock = lockRecords();
    records_.clear();
    std::ifstream in(file_, std::ios::binary);
    if (!in) {
        std::ofstream created(file_, std::ios::binary);
        return;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    records_.resize(bytes.size() / kRecordBytes);
    if (records_.empty()) {
        return;  // an empty vector's data() may be null, which memcpy must not be given
    }
    std::memcpy(records_.data(), bytes.data(), records_.size() * kRecordBytes);
    std::transform(records_.begin(), records_.end(), records_.begin(), repairedRecord);
}

std::lock_guard<std::mutex> TrackInfoStore::lockRecords() const {
    realtime::mayBlock("track store lock");
    return std::lock_guard<std::mutex>(mutex_);
}

namespace {

template <class Records>
auto findRecord(Records& records, int32_t hash, int32_t sizeKey) {
    return std::find_if(records.begin(), records.end(), [&](const TrackInfoRecord& r) {
        return r.nameHash == hash && r.sizeKey == sizeKey;
    });
}

}  // namespace

bool TrackInfoStore::save(std::error_code* error) const {
    std::lock_guard oneAtATime(saving_);
    std::vector<TrackInfoRecord> snapshot;
    uint64_t changes = 0;
    {
        const auto lock = lockRecords();
        snapshot = records_;
        changes = changes_.load();
    }
    const std::error_code failure =
        writeFileAtomically(file_, std::string_view(reinterpret_cast<const char*>(snapshot.data()),
                                                    snapshot.size() * kRecordBytes));
    if (error != nullptr) {
        *error = failure;
    }
    if (failure) {
        return false;
    }
    savedChanges_.store(changes);
    return true;
}

bool TrackInfoStore::lookup(std::string_view path, int32_t sizeKey, TrackInfoRecord& out) const {
    const int32_t hash = nameHash(path);
    const auto lock = lockRecords();
    const auto found = findRecord(records_, hash, sizeKey);
    const bool wasFound = found != records_.end();
    if (!wasFound) {
        out = freshRecord(path, sizeKey);
    } else {
        out = *found;
        if (out.optimizedDetection != optimizedDetection_) {
            out.startStrength = 0;
            out.endStrength = 0;
            out.peakLevel = 1;
        }
    }
    out.optimizedDetection = optimizedDetection_;
    return wasFound;
}

TrackInfoRecord TrackInfoStore::place(std::vector<TrackInfoRecord>::iterator at,
                                      const TrackInfoRecord& record) {
    if (at == records_.end()) {
        at = records_.insert(records_.begin(), record);
    } else {
        *at = record;
    }
    at->dateStamp = today_;
    changes_.fetch_add(1);
    return *at;
}

void TrackInfoStore::insert(const TrackInfoRecord& record) {
    if (record.sizeKey == 0) {
        return;
    }
    const auto lock = lockRecords();
    const auto at = findRecord(records_, record.nameHash, record.sizeKey);
    if (at == records_.end() || record.dateStamp != 0 ||
        !analysed_.contains({record.nameHash, record.sizeKey})) {
        place(at, record);
        return;
    }
    // The deck knew nothing of the analysis: its start and end come from a part of the track.
    TrackInfoRecord merged = *at;
    if (record.cuePosition != 0.0f) {
        merged.cuePosition = record.cuePosition;
    }
    if (record.bpmVotes == kLockedBpmVotes || record.bpmVotes > merged.bpmVotes) {
        merged.bpm = record.bpm;
        merged.bpmVotes = record.bpmVotes;
    }
    place(at, merged);
}

TrackInfoRecord TrackInfoStore::insertAnalysis(const TrackInfoRecord& analysed) {
    if (analysed.sizeKey == 0) {
        return analysed;
    }
    const auto lock = lockRecords();
    const auto at = findRecord(records_, analysed.nameHash, analysed.sizeKey);
    TrackInfoRecord merged = analysed;
    if (at != records_.end()) {
        merged.cuePosition = at->cuePosition;
        if (at->bpmVotes == kLockedBpmVotes) {
            merged.bpm = at->bpm;
            merged.bpmVotes = at->bpmVotes;
        }
    }
    analysed_.insert({analysed.nameHash, analysed.sizeKey});
    return place(at, merged);
}

std::vector<TrackInfoRecord> TrackInfoStore::records() const {
    const auto lock = lockRecords();
    return records_;
}

std::filesystem::path storePathInWorkingDirectory() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    if (error) {
        return TrackInfoStore::kFileName;
    }
    return folder / TrackInfoStore::kFileName;
}

int32_t todayDateStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return dateStamp(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}
