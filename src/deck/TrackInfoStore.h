#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <vector>

#include "deck/TrackInfoRecord.h"

// The records of every track the program has analysed, kept in memory as an array (newest first)
// and in "Spinora.idb" between runs. The decks insert from the audio thread while the browser looks
// records up from the main thread, so both operations take the one lock.
class TrackInfoStore {
  public:
    static constexpr const char* kFileName = "Spinora.idb";
    static constexpr std::size_t kRecordBytes = sizeof(TrackInfoRecord);

    // optimizedDetection is the current "Optimized beat detection" setting; today the date stamp
    // given to every record stored.
    TrackInfoStore(std::filesystem::path file, int32_t optimizedDetection, int32_t today);

    // Reads the whole file; a missing file is created empty, an unreadable one leaves the store
    // empty, and a trailing partial record is dropped. Values no program run could have stored
    // are repaired (repairedRecord).
    void load();

    // Writes every record to a temporary file beside the store and renames it over the old one,
    // so a failed save never loses what was stored before. Returns false when nothing was saved.
    bool save() const;

    // Finds the record of a file by name hash and size, or gives a fresh one. Returns whether it
    // was found. A record found under another detection setting loses its analysis confidences.
    bool lookup(std::string_view path, int32_t sizeKey, TrackInfoRecord& out) const;

    // Overwrites the record of the same file in place, or puts a new one first. A record with no
    // size key (no track) is ignored.
    void insert(const TrackInfoRecord& record);

    std::vector<TrackInfoRecord> records() const;
    const std::filesystem::path& file() const { return file_; }

  private:
    mutable std::mutex mutex_;
    std::filesystem::path file_;
    int32_t optimizedDetection_;
    int32_t today_;
    std::vector<TrackInfoRecord> records_;
};

// "Spinora.idb" in the working directory (the data folder once the program has started).
std::filesystem::path storePathInWorkingDirectory();

// Today's date stamp from the local calendar.
int32_t todayDateStamp();
