#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <set>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "core/TrackInfoRecord.h"

// The records of every track the program has analysed, kept in memory as an array (newest first)
// and in "Spinora.idb" between runs. The decks' loader threads look records up and insert them
// (and a deck's destructor on the main thread) while the browser looks records up from the main
// thread, so both operations take the one lock, which the audio thread never takes; a save holds
// it only while it copies the records, never while it waits for the disk.
class TrackInfoStore {
  public:
    static constexpr const char* kFileName = "Spinora.idb";
    static constexpr std::size_t kRecordBytes = sizeof(TrackInfoRecord);

    // optimizedDetection is the current "Optimized beat detection" setting; today the date stamp
    // given to every record stored.
    TrackInfoStore(std::filesystem::path file, int32_t optimizedDetection, int32_t today);

    // main, before the decks exist: reads the whole file; a missing file is created empty, an
    // unreadable one leaves the store empty, and a trailing partial record is dropped. Values no
    // program run could have stored are repaired (repairedRecord).
    void load();

    // Writes every record to a temporary file beside the store and renames it over the old one,
    // so a failed save never loses what was stored before. Returns false when nothing was saved,
    // with the reason in *error if given. Thread: any but the audio thread; saves run one at a
    // time.
    bool save(std::error_code* error = nullptr) const;

    // Counts the inserts, so that a saver can tell when the store changed. Thread: any.
    uint64_t changeCount() const { return changes_.load(); }
    // Whether a record was inserted after the snapshot of the last successful save. Thread: any.
    bool unsaved() const { return changes_.load() != savedChanges_.load(); }

    // Finds the record of a file by name hash and size, or gives a fresh one. Returns whether it
    // was found. A record found under another detection setting loses its analysis confidences.
    // sizeKey: the file's size in bytes (low 32 bits). Thread: any but the audio thread.
    bool lookup(std::string_view path, int32_t sizeKey, TrackInfoRecord& out) const;

    // Overwrites the record of the same file in place, or puts a new one first. A record with no
    // size key (no track) is ignored. A deck's record of a track it began to play without a
    // stored record (date stamp 0) that meets a record the background analysis stored meanwhile
    // does not undo that analysis: only the deck's cue point, a locked tempo and a tempo counted
    // over more beats are taken. Thread: any but the audio thread.
    void insert(const TrackInfoRecord& record);

    // Stores the result of a whole analysis of a track (analyseTrack): it replaces the stored
    // record but for the user's cue point and locked tempo. Returns the record as stored.
    // Thread: any but the audio thread.
    TrackInfoRecord insertAnalysis(const TrackInfoRecord& analysed);

    // Thread: any but the audio thread.
    std::vector<TrackInfoRecord> records() const;
    const std::filesystem::path& file() const { return file_; }

  private:
    // Counted as a violation on a real-time thread: the window thread can hold it for a save.
    std::lock_guard<std::mutex> lockRecords() const;
    // With the lock held: puts the record in place of the stored one, or first; returns it.
    TrackInfoRecord place(std::vector<TrackInfoRecord>::iterator at, const TrackInfoRecord& record);

    mutable std::mutex mutex_;
    mutable std::mutex saving_;
    std::atomic<uint64_t> changes_{0};
    mutable std::atomic<uint64_t> savedChanges_{0};
    std::filesystem::path file_;
    int32_t optimizedDetection_;
    int32_t today_;
    std::vector<TrackInfoRecord> records_;
    // The name hashes and size keys of the records insertAnalysis stored in this run.
    std::set<std::pair<int32_t, int32_t>> analysed_;
};

// "Spinora.idb" in the working directory (the data folder once the program has started).
std::filesystem::path storePathInWorkingDirectory();

// Today's date stamp from the local calendar.
int32_t todayDateStamp();
