#include "deck/TrackInfoStore.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>

static_assert(std::endian::native == std::endian::little,
              "records are stored in memory order, which must be little-endian");

TrackInfoStore::TrackInfoStore(std::filesystem::path file, int32_t optimizedDetection,
                               int32_t today)
    : file_(std::move(file)), optimizedDetection_(optimizedDetection), today_(today) {}

void TrackInfoStore::load() {
    std::lock_guard lock(mutex_);
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

namespace {

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

template <class Records>
auto findRecord(Records& records, int32_t hash, int32_t sizeKey) {
    return std::find_if(records.begin(), records.end(), [&](const TrackInfoRecord& r) {
        return r.nameHash == hash && r.sizeKey == sizeKey;
    });
}

}  // namespace

bool TrackInfoStore::save() const {
    std::lock_guard lock(mutex_);
    std::string temp = file_.string() + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return false;
    }
    ::fchmod(fd, 0644);  // mkstemp makes it private; the store is an ordinary user file
    const bool written = writeAll(fd, reinterpret_cast<const char*>(records_.data()),
                                  records_.size() * kRecordBytes);
    const bool synced = written && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed || ::rename(temp.c_str(), file_.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool TrackInfoStore::lookup(std::string_view path, int32_t sizeKey, TrackInfoRecord& out) const {
    const int32_t hash = nameHash(path);
    std::lock_guard lock(mutex_);
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

void TrackInfoStore::insert(const TrackInfoRecord& record) {
    if (record.sizeKey == 0) {
        return;
    }
    std::lock_guard lock(mutex_);
    auto place = findRecord(records_, record.nameHash, record.sizeKey);
    if (place == records_.end()) {
        place = records_.insert(records_.begin(), record);
    } else {
        *place = record;
    }
    place->dateStamp = today_;
}

std::vector<TrackInfoRecord> TrackInfoStore::records() const {
    std::lock_guard lock(mutex_);
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
